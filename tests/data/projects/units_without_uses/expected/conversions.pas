unit conversions;

interface

function YesNo(Value: Boolean): string;

implementation uses lx_lang;

function YesNo(Value: Boolean): string;
begin
  if Value then
//TL:Result := 'Yes, indeed'
    Result := ''+s_1+''
  else
//TL:Result := 'No, never';
    Result := ''+s_2+'';
end;

end.
