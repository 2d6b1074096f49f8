unit form1;

interface

procedure ShowForm;

implementation

uses
  SysUtils;

{$R *.DFM}

procedure ShowForm;
begin
  Writeln('Form caption');
  Writeln('Button: ' + 'OK' + ' / ' + 'ok');
end;

end.
