program demo;

{ A console program of three units, scanned and rewritten by the code tests. The program file
  has no interface part, so its own statements are scanned like any routine body. }

uses
  SysUtils, greet, form1, plain;

begin
  Writeln('Program start');
  Greet.SayHello('World');
  Form1.ShowForm;
  Writeln(Plain.Describe(3));
end.
