#include "corpus/form_text_dump.h"

#include <cctype>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "corpus/stopwatch.h"
#include "support/test_support.h"

namespace lexorin::corpus {

namespace {

namespace fs = std::filesystem;

// The unit. It hooks the application's idle handlers in its initialization: the first idle
// moment comes in Application.Run, after the program file's CreateForm calls and once the main
// form is shown, whichever of its own units the program has.
constexpr const char* kUnitSource = R"pas(unit FormTextDump;

{ Prints every published string of every form and data module, and of each component they own,
  as Form.Component.Property=value lines into the file that FORM_TEXT_DUMP names (else to
  stdout), and ends the program. Added to the program by the Lazarus display test. }

{$mode objfpc}{$H+}

interface

implementation

uses
  Classes, SysUtils, TypInfo, Forms;

const
  MaxDepth = 4;        { sub-objects followed from a component: Font.Name, Columns[0].Title.Caption }
  MaxListLines = 100;  { lines printed of one string list }

type
  TFormTextDump = class
  private
    FLines: TStringList;
    procedure Put(const Key, Value: string);
    procedure PutObject(const Key: string; Instance: TObject; Depth: Integer);
    procedure PutOwner(Root: TComponent);
  public
    procedure Idle(Sender: TObject; var Done: Boolean);
  end;

var
  Dump: TFormTextDump;

{ One value on one line: backslashes and control characters escaped. }
function Escaped(const S: string): string;
var
  I: Integer;
begin
  Result := '';
  for I := 1 to Length(S) do
    case S[I] of
      '\': Result := Result + '\\';
      #10: Result := Result + '\n';
      #13: Result := Result + '\r';
      #9: Result := Result + '\t';
      #0..#8, #11, #12, #14..#31: Result := Result + '\x' + IntToHex(Ord(S[I]), 2);
    else
      Result := Result + S[I];
    end;
end;

procedure TFormTextDump.Put(const Key, Value: string);
begin
  if Value <> '' then
    FLines.Add(Key + '=' + Escaped(Value));
end;

procedure TFormTextDump.PutObject(const Key: string; Instance: TObject; Depth: Integer);
var
  Props: PPropList;
  Count, I, J: Integer;
  Info: PPropInfo;
  Name: string;
  Value: TObject;
begin
  if (Instance = nil) or (Depth > MaxDepth) then
    Exit;
  Count := GetPropList(Instance, Props);
  try
    for I := 0 to Count - 1 do
    begin
      Info := Props^[I];
      Name := Key + '.' + Info^.Name;
      try
        case Info^.PropType^.Kind of
          tkAString, tkLString, tkSString:
            Put(Name, GetStrProp(Instance, Info));
          tkUString:
            Put(Name, UTF8Encode(GetUnicodeStrProp(Instance, Info)));
          tkWString:
            Put(Name, UTF8Encode(GetWideStrProp(Instance, Info)));
          tkClass:
            begin
              Value := GetObjectProp(Instance, Info);
              { Components are printed under their own names; a property that holds one is a
                reference only. }
              if Value is TStrings then
              begin
                for J := 0 to TStrings(Value).Count - 1 do
                  if J < MaxListLines then
                    Put(Name + '[' + IntToStr(J) + ']', TStrings(Value)[J]);
              end
              else if Value is TCollection then
              begin
                for J := 0 to TCollection(Value).Count - 1 do
                  PutObject(Name + '[' + IntToStr(J) + ']', TCollection(Value).Items[J],
                    Depth + 1);
              end
              else if (Value is TPersistent) and not (Value is TComponent) then
                PutObject(Name, Value, Depth + 1);
            end;
        end;
      except
        on E: Exception do
          FLines.Add(Name + '=!' + E.ClassName);
      end;
    end;
  finally
    FreeMem(Props);
  end;
end;

procedure TFormTextDump.PutOwner(Root: TComponent);
var
  I: Integer;
  Child: TComponent;
  ChildName: string;
begin
  PutObject(Root.Name + '.' + Root.Name, Root, 0);
  for I := 0 to Root.ComponentCount - 1 do
  begin
    Child := Root.Components[I];
    ChildName := Child.Name;
    if ChildName = '' then
      ChildName := '#' + IntToStr(I);
    PutObject(Root.Name + '.' + ChildName, Child, 0);
  end;
end;

procedure TFormTextDump.Idle(Sender: TObject; var Done: Boolean);
var
  I: Integer;
  Target: string;
begin
  Application.RemoveOnIdleHandler(@Idle);
  FLines := TStringList.Create;
  try
    for I := 0 to Screen.FormCount - 1 do
      PutOwner(Screen.Forms[I]);
    for I := 0 to Screen.DataModuleCount - 1 do
      PutOwner(Screen.DataModules[I]);
    Target := GetEnvironmentVariable('FORM_TEXT_DUMP');
    if Target <> '' then
      FLines.SaveToFile(Target)
    else
      Write(FLines.Text);
  finally
    FreeAndNil(FLines);
  end;
  Application.Terminate;
  { The loop must not wait for a message that may never come. }
  Done := False;
end;

initialization
  Dump := TFormTextDump.Create;
  Application.AddOnIdleHandler(@Dump.Idle);
finalization
  Dump.Free;
end.
)pas";

bool IsWordCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Where the whole word `word` (lower case) first stands in `text` (lower case) from `from`.
size_t FindWord(const std::string& text, const std::string& word, size_t from) {
    for (size_t at = text.find(word, from); at != std::string::npos; at = text.find(word, at + 1)) {
        const bool starts = at == 0 || !IsWordCharacter(text[at - 1]);
        const size_t end = at + word.size();
        const bool ends = end == text.size() || !IsWordCharacter(text[end]);
        if (starts && ends) return at;
    }
    return std::string::npos;
}

}  // namespace

void AddFormTextDump(const std::string& folder, const std::string& main) {
    const std::string path = folder + "/" + main;
    std::string program = lexorin::testing::read_test_file(path);
    const std::string lower = Lower(program);
    const size_t uses = FindWord(lower, "uses", 0);
    const size_t interfaces =
        uses == std::string::npos ? uses : FindWord(lower, "interfaces", uses);
    if (interfaces == std::string::npos)
        throw std::runtime_error(path + " has no unit Interfaces in its uses clause");
    program.insert(interfaces + std::string("interfaces").size(), ", FormTextDump");
    lexorin::testing::write_test_file(path, program);
    lexorin::testing::write_test_file(folder + "/" + kFormTextDumpFile, kUnitSource);
}

FormTexts ReadFormTexts(const std::string& printed) {
    FormTexts texts;
    std::istringstream in(printed);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string value;
        for (size_t i = equals + 1; i < line.size(); ++i) {
            if (line[i] != '\\' || i + 1 == line.size()) {
                value += line[i];
                continue;
            }
            const char escaped = line[++i];
            if (escaped == 'n')
                value += '\n';
            else if (escaped == 'r')
                value += '\r';
            else if (escaped == 't')
                value += '\t';
            else if (escaped == 'x' && i + 2 < line.size()) {
                value += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else
                value += escaped;
        }
        texts[line.substr(0, equals)] = value;
    }
    return texts;
}

FormTextRun RunWithFormTextDump(const std::string& executable, const std::string& folder,
                                const std::string& home, int time_limit) {
    const std::string target = folder + "/form-texts.txt";
    fs::remove(target);
    fs::create_directories(home);
    const Stopwatch clock;
    // The time limit stops the program alone; xvfb-run then ends its display server itself.
    const lexorin::testing::CommandResult result = lexorin::testing::run_command(
        "cd '" + folder + "' && HOME='" + home + "' " + kFormTextDumpTarget + "='" + target +
        "' xvfb-run -a -s '-screen 0 1280x1024x24' timeout -k 5 " + std::to_string(time_limit) +
        " '" + executable + "' 2>&1");
    FormTextRun run;
    run.seconds = clock.seconds();
    run.status = result.status;
    run.log = result.out + result.err;
    if (fs::exists(target)) {
        run.printed = result.status == 0;
        run.texts = ReadFormTexts(lexorin::testing::read_test_file(target));
        fs::remove(target);
    }
    return run;
}

}  // namespace lexorin::corpus
