unit Main;

{ Main window.
  Uses the clipboard;
  implementation notes: none }
interface

uses
  Windows, SysUtils, Forms;

const
  Caption1 = 'Interface text';

implementation

  {$r *.dfm}

procedure TForm1.Show;
begin
  ShowMessage('Hello');  { note }
  (* a comment
     with 'quoted' text *) Label1.Caption := 'After comment';
  { long
    comment } Label2.Caption := 'Closing line';
  Edit1.Text := 'a{b';
  Edit2.Text := 'Still code';
  {a} x := 'one'; { it's } y := 'two';
  (* x *) y := 'z z'; { w }
  // Caption := 'Commented';
  Caption := 'Keep'; // NOTRANS
end;

end.
