unit mainform;

interface

uses
  Forms, StdCtrls, Classes;

type
  TMainForm = class(TForm)
    Button1: TButton;
    Label1: TLabel;
    procedure Button1Click(Sender: TObject);
  end;

var
  MainForm: TMainForm;

implementation

{$R *.DFM}

procedure TMainForm.Button1Click(Sender: TObject);
begin
  Label1.Caption := 'Button was pressed';
end;

end.
