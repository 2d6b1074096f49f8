unit Main;

{ Main window.
  Uses the clipboard;
  implementation notes: none }
interface

uses lx_lang, 
  Windows, SysUtils, Forms;

const
  Caption1 = 'Interface text';

implementation

{$i lx_lang.inc}
{$ifndef TranslatedForm}
  {$r *.dfm}
{$else}
{$R *.tra.res}
{$endif}

procedure TForm1.Show;
begin
//TL:ShowMessage('Hello');  { note 
  ShowMessage(''+s_1+'');  { note }
  (* a comment
//TL:with 'quoted' text  Label1.Caption := 'After comment';
     with 'quoted' text *) Label1.Caption := ''+s_2+'';
  { long
//TL:comment  Label2.Caption := 'Closing line';
    comment } Label2.Caption := ''+s_3+'';
//TL:Edit1.Text := 'a{b';
  Edit1.Text := ''+s_4+'';
//TL:Edit2.Text := 'Still code';
  Edit2.Text := ''+s_5+'';
//TL:{a} x := 'one'; { it's } y := 'two';
  {a} x := ''+s_6+''; { it's } y := ''+s_7+'';
//TL:(* x *) y := 'z z'; { w 
  (* x *) y := ''+s_8+''; { w }
  // Caption := 'Commented';
  Caption := 'Keep'; // NOTRANS
end;

end.
