object Form1: TForm1
  Caption = 'Greetings'
end
