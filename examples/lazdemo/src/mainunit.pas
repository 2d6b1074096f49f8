unit mainunit;

{$mode objfpc}{$H+}

interface

uses
  Classes, SysUtils, Forms, Controls, StdCtrls, Dialogs;

type
  TMainForm = class(TForm)
    GreetingLabel: TLabel;
    SizeLabel: TLabel;
    GreetButton: TButton;
    procedure GreetButtonClick(Sender: TObject);
    procedure FormCreate(Sender: TObject);
  end;

var
  MainForm: TMainForm;

implementation

{$R *.lfm}

procedure TMainForm.FormCreate(Sender: TObject);
begin
  SizeLabel.Caption := Format('Größe: %d Äpfel', [3]);
end;

procedure TMainForm.GreetButtonClick(Sender: TObject);
begin
  ShowMessage('Hello from the Lazarus demo');
end;

end.
