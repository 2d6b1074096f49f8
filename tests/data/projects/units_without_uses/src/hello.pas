program hello;

begin
  WriteLn('Hello, world');
end.
