unit lx_lang;

{ Declares the resource strings s_N that Lexorin put in place of the string literals of the
  project's units: the original texts of strings.org, or the translations of strings.tra
  when lx_lang.inc switches on TranslatedStrings. Both files are written by Lexorin's
  "Write changes" command and begin with the word resourcestring. }

interface

{$i lx_lang.inc}

{$ifdef TranslatedStrings}
{$i strings.tra}
{$else}
{$i strings.org}
{$endif}
  { Keeps the section valid while the project has no strings yet. }
  lx_lang_none = '';

implementation

end.
