object MainForm: TMainForm
  Left = 200
  Top = 120
  Width = 320
  Height = 200
  Caption = 'Demo main window'
  object Label1: TLabel
    Left = 16
    Top = 16
    Caption = 'Press the button'
  end
  object Button1: TButton
    Left = 16
    Top = 48
    Caption = '&Press me'
    Hint = 'Presses the button'
    OnClick = Button1Click
  end
end
