unit about_form;

interface

uses
  Classes, text_items;

type
  TAboutForm = class(TComponent)
  private
    FTitle: string;
  public
    constructor Create(AOwner: TComponent); override;
    procedure Show;
  published
    property Title: string read FTitle write FTitle;
  end;

implementation

{$R about_form.dfm}

constructor TAboutForm.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  InitInheritedComponent(Self, TComponent);
end;

procedure TAboutForm.Show;
begin
  Writeln(Title);
  ShowChildren(Self);
end;

end.
