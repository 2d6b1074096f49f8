object OrdersForm: TOrdersForm
  Left = 120
  Top = 80
  Width = 400
  Height = 240
  Caption = 'Customer'#39's orders'
  object Label1: TLabel
    Left = 16
    Top = 16
    Caption = 'No orders yet'
  end
  object Button1: TButton
    Left = 16
    Top = 48
    Caption = '&Refresh'
    Hint = 'Reads the orders again'
    OnClick = Button1Click
  end
end
