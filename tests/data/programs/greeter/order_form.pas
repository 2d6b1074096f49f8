unit order_form;

interface

uses
  Classes, text_items;

type
  TOrderForm = class(TComponent)
  private
    FCaption: string;
    FHint: string;
  public
    constructor Create(AOwner: TComponent); override;
    procedure Show;
  published
    property Caption: string read FCaption write FCaption;
    property Hint: string read FHint write FHint;
  end;

implementation

{$R *.dfm}

constructor TOrderForm.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  InitInheritedComponent(Self, TComponent);
end;

procedure TOrderForm.Show;
begin
  Writeln('Order form: ' + Caption);
  Writeln(Hint);
  ShowChildren(Self);
end;

end.
