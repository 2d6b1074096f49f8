unit greet;

interface

uses SysUtils;

const
  Version = 'v1.0';

procedure SayHello(const Name: string);

implementation

const
  Exclaim = '!';

procedure SayHello(const Name: string);
var
  Line: string;
begin
  // Writeln('never printed');
  Writeln('Hello, ' + Name + Exclaim);   { greeting }
  Writeln('It''s a fine day');
  Writeln('Padded  ' + '|');
  Line := 'First line'#13'Second part' + #10 + 'Third part';
  Writeln(Line);
  (* a comment over
     two lines, don't scan *) Writeln('After a comment');
  { a brace comment
    closed here } Writeln('Closing line text');
  Writeln('Braces {inside} a literal', ' and (* stars *)');
  Writeln('Keep me'); // NOTRANS
  Writeln('Version ', Version); // it's the interface constant
  Writeln(Format('%d apples and %s', [3, 'pears']));
end;

end.
