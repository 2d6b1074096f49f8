program demo;

{$APPTYPE CONSOLE}

uses
  greetings in 'greetings.pas';

begin
  WriteLn(Greeting('World'));
  WriteLn(FarewellText);
  WriteLn('Items: ', ItemCount(3));
end.
