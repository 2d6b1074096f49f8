unit aboutbox;

interface

uses lx_lang, Forms, StdCtrls, Classes;

type
  TAboutBox = class(TForm)
    Title: TLabel;
    Credits: TMemo;
    procedure FormShow(Sender: TObject);
  end;

implementation

{$i lx_lang.inc}
{$ifndef TranslatedForm}
{$r *.dfm}
{$else}
{$R *.tra.res}
{$endif}

procedure TAboutBox.FormShow(Sender: TObject);
begin
//TL:Title.Hint := 'Version ' + '1.0';
  Title.Hint := ''+s_1+'' + '1.0';
end;

end.
