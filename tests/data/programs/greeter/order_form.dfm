object OrderForm: TOrderForm
  Caption = 'Your order'
  Hint = 'Don'#39't forget to pay'
  object Total: TTextItem
    Text = 'Total amount'
  end
  object Note: TTextItem
    Text = 'Delivery in two days'
  end
end
