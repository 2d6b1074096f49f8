unit plain;

interface

uses
  SysUtils;

function Describe(Count: Integer): string;

implementation

function Describe(Count: Integer): string;
begin
  if Count = 1 then
    Result := 'One item'
  else
    Result := IntToStr(Count) + ' items, ' + 'that''s many';
end;

end.
