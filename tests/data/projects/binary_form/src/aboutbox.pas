unit aboutbox;

interface

uses Forms, StdCtrls, Classes;

type
  TAboutBox = class(TForm)
    Title: TLabel;
    Credits: TMemo;
    procedure FormShow(Sender: TObject);
  end;

implementation

{$r *.dfm}

procedure TAboutBox.FormShow(Sender: TObject);
begin
  Title.Hint := 'Version ' + '1.0';
end;

end.
