unit greetings;

interface

uses
  SysUtils;

const
  DefaultName = 'nobody';

function Greeting(const Name: string): string;
function FarewellText: string;
function ItemCount(N: Integer): string;

implementation

{ Strings in comments such as 'this one' are left alone,
  also across lines: 'and this one'. }

function Greeting(const Name: string): string;
begin
  Result := 'Hello, ' + Name + '!';
end;

function FarewellText: string;
begin
  (* 'not a string' *) Result := 'Good bye and see you soon';
end;

function ItemCount(N: Integer): string;
begin
  if N = 1 then
    Result := 'one item'
  else
    Result := Format('%d items', [N]); // 'comment'
end;

end.
