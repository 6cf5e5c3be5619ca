// ProfileText against the system's private-profile reader: every lookup of
// every file here is asked of both (and of the process cache), and the
// buffers must come back byte for byte the same.
#include "setup/scriptlib/profile_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "setup/scriptlib/profile_cache.h"
#include "tests/support/temp_dir.h"

namespace {

struct Lookup {
  const char* section;
  const char* key;
  const char* fallback;
  unsigned long size;
};

struct Answer {
  unsigned long length;
  std::string bytes;  // the whole buffer and a margin: what was written and what was not
  bool operator==(const Answer& other) const { return length == other.length && bytes == other.bytes; }
};

constexpr size_t kMargin = 8;

template <typename Call>
Answer Ask(unsigned long size, Call call) {
  std::string buffer(size + kMargin, '\x7f');
  unsigned long length = call(buffer.data(), size);
  return Answer{length, buffer};
}

std::string Printable(const std::string& text, size_t limit = 300) {
  std::string out;
  for (size_t i = 0; i < text.size() && out.size() < limit; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof(hex), "\\x%02x", c);
      out += hex;
    }
  }
  return text.size() > limit ? out + "..." : out;
}

class ProfileDifferential {
 public:
  // Compares every lookup on the text; returns the number of differences
  // (reported as failures, the first few in full).
  int Compare(const std::string& text, const std::vector<Lookup>& lookups) {
    std::string path = dir_.Write("case" + std::to_string(++files_) + ".ini", text);
    scriptlib::ProfileText parsed(text);
    int differences = 0;
    for (const Lookup& l : lookups) {
      Answer system = Ask(l.size, [&](char* b, unsigned long n) {
        return static_cast<unsigned long>(GetPrivateProfileStringA(l.section, l.key, l.fallback, b, n, path.c_str()));
      });
      Answer ours = Ask(l.size, [&](char* b, unsigned long n) { return parsed.GetString(l.section, l.key, l.fallback, b, n); });
      Answer cached = Ask(l.size, [&](char* b, unsigned long n) {
        return scriptlib::ReadProfileString(l.section, l.key, l.fallback, b, n, path.c_str());
      });
      if (ours == system && cached == system) continue;
      if (++differences <= 3) {
        ADD_FAILURE() << "file: " << Printable(text) << "\nlookup [" << Printable(l.section) << "] "
                      << Printable(l.key) << " default " << (l.fallback ? Printable(l.fallback) : "(null)")
                      << " size " << l.size << "\nsystem " << system.length << " " << Printable(system.bytes)
                      << "\nours   " << ours.length << " " << Printable(ours.bytes) << "\ncached " << cached.length
                      << " " << Printable(cached.bytes);
      }
    }
    return differences;
  }

 private:
  qx::test::TempDir dir_;
  int files_ = 0;
};

struct Case {
  const char* name;
  std::string text;
  std::vector<Lookup> lookups;
};

template <size_t N>
std::string WithNul(const char (&text)[N]) {
  return std::string(text, N - 1);
}

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"SectionNamesLoseTheirBlanks", "[ Sec\t]\r\nk=1\r\n[\x0bTwo \x1a]\r\nk=2\r\n",
       {{"Sec", "k", "D", 64}, {" Sec ", "k", "D", 64}, {"Two", "k", "D", 64}, {"[ Sec\t]", "k", "D", 64}}},
      {"HeaderEndsAtItsLastBracket", "[A]x]\r\nk=1\r\n[B] tail\r\nk=2\r\n[C\r\nk=3\r\n[]\r\nk=4\r\n[\r\n",
       {{"A]x", "k", "D", 64}, {"A", "k", "D", 64}, {"B", "k", "D", 64}, {"C", "k", "D", 64}, {"", "k", "D", 64},
        {"", "[C", "D", 64}}},
      {"CommentLinesAreOrdinaryKeys", "[S]\r\n;c=1\r\n#h=2\r\n//u=3\r\n; spaced = 4\r\n",
       {{"S", ";c", "D", 64}, {"S", "#h", "D", 64}, {"S", "//u", "D", 64}, {"S", "; spaced", "D", 64}}},
      {"NamesAndValuesLoseTheirBlanks", "[S]\r\n  k1 \t=\t v 1 \x1a\r\n\x0ck2\x0c=\x0c\r\nk3=a = b\r\n",
       {{"S", "k1", "D", 64}, {"S", " k1\t", "D", 64}, {"S", "k2", "D", 64}, {"S", "k3", "D", 64}}},
      {"MatchingQuotesAreDropped",
       "[Q]\r\nd=\"x\"\r\ns='x'\r\nopen=\"x\r\none=\"\r\nmixed=\"x'\r\nempty=\"\"\r\ninner=\"a\"b\"\r\nsp=\" x \"\r\n",
       {{"Q", "d", "D", 64}, {"Q", "s", "D", 64}, {"Q", "open", "D", 64}, {"Q", "one", "D", 64},
        {"Q", "mixed", "D", 64}, {"Q", "empty", "D", 64}, {"Q", "inner", "D", 64}, {"Q", "sp", "D", 64}}},
      {"ValuesAreCutToTheBuffer", "[T]\r\nq=\"abc\"\r\np=abcdef\r\nn=\r\n",
       {{"T", "q", "D", 1}, {"T", "q", "D", 2}, {"T", "q", "D", 3}, {"T", "q", "D", 4}, {"T", "q", "D", 5},
        {"T", "q", "D", 6}, {"T", "p", "D", 1}, {"T", "p", "D", 6}, {"T", "p", "D", 7}, {"T", "n", "D", 1},
        {"T", "p", "D", 0}}},
      {"DefaultsLoseTrailingSpacesAndQuotes", "[S]\r\nk=1\r\n",
       {{"S", "x", "\"q\"  ", 64}, {"S", "x", "  sp  ", 64}, {"S", "x", "   ", 64}, {"S", "x", nullptr, 64},
        {"S", "x", "'ab'", 3}, {"S", "x", "", 64}, {"none", "x", "dflt", 3}}},
      {"FirstSectionAndFirstKeyWin", "[a]\r\nk=1\r\nK=2\r\n[A]\r\nk=3\r\nz=4\r\n",
       {{"a", "k", "D", 64}, {"A", "K", "D", 64}, {"a", "z", "D", 64}}},
      {"LinesWithoutEqualsGiveTheDefault", "[S]\r\nlonely\r\nk=1\r\nlonely=2\r\n",
       {{"S", "lonely", "D", 64}, {"S", "k", "D", 64}}},
      {"UnnamedKeysAndBlankNames", "[S]\r\nk=1\r\n=first\r\n=second\r\nz=2\r\n=third\r\n[E]\r\n=e\r\n",
       {{"S", "", "D", 64}, {"S", "  ", "D", 64}, {"E", "", "D", 64}, {"S", "z", "D", 64}}},
      {"LinesBeforeTheFirstHeader", "top=1\r\n[S]\r\nk=2\r\n", {{"", "top", "D", 64}, {" ", "top", "D", 64}}},
      {"LineEndsOfEveryKind", "[S]\ra=1\nb=2\r\n\r\nc=3\n\rd=4",
       {{"S", "a", "D", 64}, {"S", "b", "D", 64}, {"S", "c", "D", 64}, {"S", "d", "D", 64}}},
      {"NulEndsTheNameOrValueItIsIn", WithNul("[S]\r\na=1\r\nb=x\0y\r\nc=3\r\n[N\0]\r\nd=4\r\nk\0x=5\r\n=6\r\n\0z=7\r\n=8\r\n"),
       {{"S", "a", "D", 64}, {"S", "b", "D", 64}, {"S", "c", "D", 64}, {"N", "d", "D", 64}, {"N", "k", "D", 64}, {"N", "", "D", 64}, {"N", "z", "D", 64}}},
      {"OnlyAsciiLettersFoldCase", "[\xc9t\xe9]\r\nk=1\r\n[\x9f]\r\nk=2\r\n[\x8a]\r\nk=3\r\n",
       {{"\xe9T\xc9", "k", "D", 64}, {"\xc9T\xe9", "k", "D", 64}, {"\xff", "k", "D", 64}, {"\x9a", "k", "D", 64}}},
      {"NoBreakSpaceIsNoBlank", "[S]\r\nnb\xa0=\xa0x\xa0\r\n", {{"S", "nb", "D", 64}, {"S", "nb\xa0", "D", 64}}},
      {"EmptyFile", "", {{"S", "k", "\"d\"", 64}, {"", "", "d", 64}}},
      {"LongLines", "[L]\r\nk=" + std::string(40000, 'v') + "\r\n" + std::string(70000, 'k') + "=x\r\nz=1",
       {{"L", "k", "D", 4096}, {"L", "k", "D", 50000}, {"L", "z", "D", 64}}},
  };
  return cases;
}

class ProfileTextCase : public ::testing::TestWithParam<Case> {};

TEST_P(ProfileTextCase, AnswersAsTheSystemReader) {
  ProfileDifferential differential;
  EXPECT_EQ(differential.Compare(GetParam().text, GetParam().lookups), 0);
}

INSTANTIATE_TEST_SUITE_P(Rules, ProfileTextCase, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Every byte in a name, against every spelling of it in other case.
TEST(ProfileTextBytes, CaseOfEveryByteAsTheSystemReader) {
  std::string text;
  std::vector<std::string> names;
  for (int b = 0x21; b < 0x100; ++b) {
    if (b == '[' || b == ']' || b == '=') continue;
    std::string name = "N" + std::string(1, static_cast<char>(b));
    names.push_back(name);
    text += "[" + name + "]\r\nK" + name + "=" + std::to_string(b) + "\r\n";
  }
  std::vector<std::string> spellings;
  for (const std::string& name : names) {
    for (auto convert : {CharUpperBuffA, CharLowerBuffA}) {
      std::string other = name;
      convert(other.data(), static_cast<DWORD>(other.size()));
      spellings.push_back(other);
    }
  }
  std::vector<std::string> keys;
  for (const std::string& s : spellings) keys.push_back("k" + s);
  std::vector<Lookup> lookups;
  for (size_t i = 0; i < spellings.size(); ++i) lookups.push_back({spellings[i].c_str(), keys[i].c_str(), "none", 16});
  ProfileDifferential differential;
  EXPECT_EQ(differential.Compare(text, lookups), 0);
}

// Generated files: sections and keys from a small pool of names in mixed
// case, blanks of every kind, quotes, comments, duplicates, empty sections,
// long lines, stray bytes and every kind of line end, asked with the names in
// other case and padding, other defaults and buffer sizes.
class Generator {
 public:
  explicit Generator(unsigned start) : random_(start) {}

  std::string File(std::vector<std::string>* sections, std::vector<std::string>* keys) {
    std::string text;
    int lines = Pick(40) + 1;
    for (int i = 0; i < lines; ++i) {
      switch (Pick(12)) {
        case 0:
        case 1: {
          std::string name = Mutated(Name());
          sections->push_back(name);
          text += Blank() + "[" + Blank() + name + Blank() + "]" + (Pick(5) == 0 ? Pick({" tail", "]x", " ;c"}) : "");
          break;
        }
        case 2:
          text += Pick({"; note=1", "// k=2", "# h", "", "   ", "\t\x0b\x0c", "\x1a"});
          break;
        case 3:
          text += Mutated(Name());
          break;
        case 4:
          text += "=" + Value();
          break;
        case 5:
          text += Name() + "=" + std::string(Pick(3) == 0 ? 40000 : Pick(300), Pick({"v", "\"", " "})[0]);
          break;
        default: {
          std::string key = Mutated(Name());
          keys->push_back(key);
          text += Blank() + key + Blank() + "=" + Blank() + Value() + Blank();
        }
      }
      if (Pick(20) == 0) text += Odd();
      text += i + 1 == lines && Pick(3) == 0 ? "" : Pick({"\r\n", "\r\n", "\r\n", "\n", "\r", "\n\r", "\r\n\r\n"});
    }
    return text;
  }

  std::string Requested(const std::vector<std::string>& names) {
    std::string name = names.empty() || Pick(6) == 0 ? Name() : names[Pick(static_cast<int>(names.size()))];
    return Pick(4) == 0 ? Pick({" ", "\t", ""}) + Mutated(name) + Pick({" ", "\x1a", ""}) : Mutated(name);
  }

  const char* Fallback() {
    static const char* const fallbacks[] = {"", "dflt", "\"q\"", "'q'", "  sp  ", "   ", "\"", "d ", nullptr};
    return fallbacks[Pick(static_cast<int>(std::size(fallbacks)))];
  }

  unsigned long Size() {
    static const unsigned long sizes[] = {1, 2, 3, 4, 5, 6, 8, 16, 64, 4096, 4096, 4096, 50000};
    return sizes[Pick(static_cast<int>(std::size(sizes)))];
  }

 private:
  int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
  template <typename T>
  T Pick(std::initializer_list<T> items) {
    return items.begin()[Pick(static_cast<int>(items.size()))];
  }
  std::string Pick(std::initializer_list<const char*> items) { return Pick<const char*>(items); }

  std::string Name() {
    return Pick({"Sec", "KEY", "Strings", "k", "a b", "x=y", "\xc9t\xe9", "%TOKEN%", ";c", "[x", "y]", "\xa0n", "", "Item_1",
                 "Item_10"});
  }
  std::string Mutated(std::string name) {
    for (char& c : name) {
      if (Pick(3) != 0) continue;
      char one[1] = {c};
      if (Pick(2)) CharUpperBuffA(one, 1);
      else CharLowerBuffA(one, 1);
      c = one[0];
    }
    return name;
  }
  std::string Blank() { return Pick(3) ? "" : Pick({" ", "\t", "  \t ", "\x0b", "\x0c", "\x1a", "\xa0"}); }
  std::string Value() {
    return Pick({"v", "\"v\"", "'v'", "\"v", "\"", "''", "\"a\"b\"", " v ", "v=w", "x // y", "\"\"", "'\"", "%TOKEN%",
                 "\xe9\xff\x80", ""});
  }
  std::string Odd() {
    std::string bytes;
    for (int i = Pick(4) + 1; i > 0; --i) bytes += static_cast<char>(Pick(8) == 0 ? 0 : Pick(255) + 1);
    return bytes;
  }

  std::mt19937 random_;
};

TEST(ProfileTextGenerated, SeededFilesAnswerAsTheSystemReader) {
  Generator generator(20261209);
  ProfileDifferential differential;
  int differences = 0;
  for (int file = 0; file < 300; ++file) {
    std::vector<std::string> sections, keys;
    std::string text = generator.File(&sections, &keys);
    std::vector<std::string> names;
    for (int i = 0; i < 24; ++i) {
      names.push_back(generator.Requested(sections));
      names.push_back(generator.Requested(keys));
    }
    std::vector<Lookup> lookups;
    for (size_t i = 0; i < names.size(); i += 2) {
      lookups.push_back({names[i].c_str(), names[i + 1].c_str(), generator.Fallback(), generator.Size()});
    }
    differences += differential.Compare(text, lookups);
  }
  EXPECT_EQ(differences, 0);
}

}  // namespace
