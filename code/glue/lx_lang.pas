unit lx_lang;

{ Declares the strings s_N that Lexorin put in place of the string literals of the project's
  units: the original texts of strings.org, or the translations of strings.tra when lx_lang.inc
  switches on TranslatedStrings or TranslatedForm. Both files are written by Lexorin's
  "Write changes" command. They begin with the word resourcestring, or with const for a
  project of more than 10,000 strings, which Free Pascal cannot link as resource strings.
  strings.org holds the bytes of the original units; strings.tra is UTF-8 and says so with
  its byte order mark. }

interface

{$i lx_lang.inc}

{$ifdef TranslatedForm}
  {$define TranslatedStrings}
{$endif}

{$ifdef TranslatedStrings}
{$i strings.tra}
{$else}
{$i strings.org}
{$endif}
  { Keeps the section valid while the project has no strings yet. }
  lx_lang_none = '';

implementation

end.
