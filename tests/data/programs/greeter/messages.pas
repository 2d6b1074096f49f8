unit messages;

interface

procedure ShowMessages;

implementation

uses
  SysUtils;

procedure ShowMessages;
begin
  Writeln('Save changes?');
  Writeln('Don''t forget the receipt');
  Writeln('Check the spelling');
end;

end.
