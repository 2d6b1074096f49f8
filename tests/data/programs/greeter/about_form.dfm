object AboutForm: TAboutForm
  Title = 'About Greeter'
  object Edition: TTextItem
    Text = 'Version 1.0, Café edition'
  end
end
