program demo;

{ A console program of three units, scanned and rewritten by the code tests. The program file
  itself has no implementation part, so its own literals are kept. }

uses
  SysUtils, greet, form1, plain;

begin
  Writeln('Program start');
  Greet.SayHello('World');
  Form1.ShowForm;
  Writeln(Plain.Describe(3));
end.
