unit conversions;

interface

function YesNo(Value: Boolean): string;

implementation

function YesNo(Value: Boolean): string;
begin
  if Value then
    Result := 'Yes, indeed'
  else
    Result := 'No, never';
end;

end.
