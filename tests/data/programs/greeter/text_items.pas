unit text_items;

{ The child components of the forms: a text each. This unit holds no literal. }

interface

uses
  Classes;

type
  TTextItem = class(TComponent)
  private
    FText: string;
  published
    property Text: string read FText write FText;
  end;

procedure ShowChildren(Owner: TComponent);

implementation

procedure ShowChildren(Owner: TComponent);
var
  I: Integer;
begin
  for I := 0 to Owner.ComponentCount - 1 do
    if Owner.Components[I] is TTextItem then
      Writeln(TTextItem(Owner.Components[I]).Text);
end;

initialization
  RegisterClass(TTextItem);
end.
