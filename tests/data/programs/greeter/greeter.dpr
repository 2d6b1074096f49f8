program greeter;

{ Prints every text of its code and of its two forms, one per line. }

uses
  Classes, SysUtils, order_form, about_form, messages;

var
  Order: TOrderForm;
  About: TAboutForm;
begin
  Writeln('Greeter starts');
  Writeln(Format('%d items in the basket', [3]));
  Order := TOrderForm.Create(nil);
  try
    Order.Show;
  finally
    Order.Free;
  end;
  About := TAboutForm.Create(nil);
  try
    About.Show;
  finally
    About.Free;
  end;
  ShowMessages;
  Writeln('Goodbye');
end.
