unit ordersform;

interface

uses
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

{$R *.DFM}

const
  DefaultCustomer = 'Walk-in customer';
  MaxOrders = 10;

function StateText(State: Integer): string;
begin
  case State of
    0: Result := 'Open order';
    1: Result := 'Shipped order';
  else
    Result := 'Unknown state';
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
  Label1.Caption := 'Orders of ' + DefaultCustomer; { shown on top }
  if MaxOrders > 5 then
    ShowMessage('It''s done');
end;

end.
