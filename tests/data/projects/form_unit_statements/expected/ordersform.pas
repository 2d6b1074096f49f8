unit ordersform;

interface

uses lx_lang, 
  SysUtils, Forms, StdCtrls, Classes, Dialogs;

type
  TOrdersForm = class(TForm)
    Label1: TLabel;
    Button1: TButton;
    procedure Button1Click(Sender: TObject);
  end;

var
  OrdersForm: TOrdersForm;

function StateText(State: Integer): string;
function StateCode(const Name: string): Integer;

implementation

{$i lx_lang.inc}
{$ifndef TranslatedForm}
{$R *.DFM}
{$else}
{$R *.tra.res}
{$endif}

const
  DefaultCustomer = 'Walk-in customer';
  MaxOrders = 10;

function StateText(State: Integer): string;
begin
  case State of
//TL:0: Result := 'Open order';
    0: Result := ''+s_1+'';
//TL:1: Result := 'Shipped order';
    1: Result := ''+s_2+'';
  else
//TL:Result := 'Unknown state';
    Result := ''+s_3+'';
  end;
end;

function StateCode(const Name: string): Integer;
begin
  case Name of
    'Open': Result := 0;
    'Shipped': Result := 1;
  else
    Result := -1;
  end;
end;

procedure TOrdersForm.Button1Click(Sender: TObject);
begin
//TL:Label1.Caption := 'Orders of ' + DefaultCustomer; { shown on top 
  Label1.Caption := ''+s_4+'' + DefaultCustomer; { shown on top }
  if MaxOrders > 5 then
//TL:ShowMessage('It''s done');
    ShowMessage(''+s_5+'');
end;

end.
