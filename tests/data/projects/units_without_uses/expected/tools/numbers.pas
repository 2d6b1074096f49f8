unit numbers;

interface

function Twice(N: Integer): Integer;

implementation

function Twice(N: Integer): Integer;
begin
  Result := 2 * N; // no 'text' here
end;

end.
