program hello; uses lx_lang;

begin
//TL:WriteLn('Hello, world');
  WriteLn(''+s_3+'');
end.
