program lazdemo;

{$mode objfpc}{$H+}

uses
  {$IFDEF UNIX}cthreads,{$ENDIF}
  Interfaces, Forms, mainunit;

begin
  RequireDerivedFormResource := True;
  Application.Title := 'Lexorin Lazarus demo';
  Application.Initialize;
  Application.CreateForm(TMainForm, MainForm);
  Application.Run;
end.
