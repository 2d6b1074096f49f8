unit form1;

interface

uses
  Classes;

type
  { A form as the Classes unit streams it: a component whose published properties its text
    form sets. }
  TForm1 = class(TComponent)
  private
    FCaption: string;
  public
    constructor Create(AOwner: TComponent); override;
  published
    property Caption: string read FCaption write FCaption;
  end;

procedure ShowForm;

implementation

uses
  SysUtils;

{$R *.dfm}

constructor TForm1.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  InitInheritedComponent(Self, TComponent);
end;

procedure ShowForm;
var
  Form: TForm1;
begin
  Form := TForm1.Create(nil);
  Writeln('Form caption');
  Writeln(Form.Caption);
  Writeln('Button: ' + 'OK' + ' / ' + 'ok');
  Form.Free;
end;

end.
