#include "layout_file.h"

#include <string>
#include <string_view>
#include <vector>

#include "platform/text_codec.h"

namespace hw::themegen {
namespace {

constexpr std::string_view kHeader =
    "; Heronwatch theme \"Theme_REV\": where every box, text, table and marker of the\n"
    "; 1920 x 1080 picture goes, and how it looks.\n"
    ";\n"
    "; Every key is written out with this theme's value, so the file doubles as the reference\n"
    "; for theme authors. A key that a theme's own file leaves out takes the program's built-in\n"
    "; default, which is not always the value shown here.\n"
    ";\n"
    "; rcLeft, rcTop, rcRight, rcBottom: a rectangle in picture pixels, both corners included.\n"
    "; width, height: the size of the sprite (or of one cell of a sheet) in its picture file;\n"
    ";   a sprite is stretched from this size onto its rectangle.\n"
    "; visible: 0 hides the element.  alpha: constant opacity, 0 (invisible) to 255 (solid).\n"
    "; Pure blue (#0000ff) is transparent in every sprite picture.\n"
    ";\n"
    "; The pictures of this theme are drawn by tools/theme_generator; see the README.\n";

struct SectionNote {
  std::u16string_view section;
  std::string_view note;
};

constexpr SectionNote kNotes[] = {
    {u"Intensity",
     "; Intensity sprites (folder Intensity).\n"
     "; MaxIntensity: the maximum-intensity badge; MaxIntensity.bmp holds 11 cells side by side:\n"
     ";   intensities 1, 2, 3, 4, 5-, 5+, 6-, 6+, 7, a distant earthquake, and the cell for\n"
     ";   reports without an intensity.\n"
     "; MidIntensity, MinIntensity: area and station markers on the map; MidlIntensity.bmp and\n"
     ";   MinIntensity.bmp hold 10 cells side by side: blank, then intensities 1 to 7 as above.\n"
     ";   scaleOff enlarges the markers by that many pixels.\n"
     "; BarIntensity: the intensity bars of the city list; BarIntensity.bmp holds 10 rows\n"
     ";   stacked, indexed like the markers (row 0 blank).\n"
     "; HistIntensity: the rows of the history table; HistoryIntensity.bmp holds 12 cells\n"
     ";   stacked: empty row, intensities 1 to 7, a distant earthquake, intensity unknown.\n"
     ";   quantity is the number of rows (at most 20); each row is height pixels below the "
     "last.\n"},
    {u"Table",
     "; City table (City.type 1: a grid of the places at the maximum intensity, framed with\n"
     "; Table\\City.bmp; 2: a list of every place, grouped by intensity) and comment table\n"
     "; (Comm.type 0: off; 1 or 2: on, 2 also starting below the city list).\n"
     "; The older names Type, Waku.rcLeft and Waku.rcTop are still read, as the defaults of\n"
     "; City.type, City.waku.rcLeft and City.waku.rcTop.\n"},
    {u"Waku",
     "; Boxes (folder Waku): each box is a frame sprite (...Waku) stamped under a caption\n"
     "; sprite (...Moji). ShingenWaku: the epicentre mark (Shingen.bmp).\n"
     "; Tsunami1 to Tsunami5: the tsunami box for no tsunami expected, a slight sea-level\n"
     "; change, a tsunami advisory, tsunami warnings, and a tsunami under investigation.\n"
     "; User1 to User4: free boxes for a theme's own art (folder User), hidden by default.\n"},
    {u"Font",
     "; Texts: rectangles and visibility of each text, then the style of each kind of text.\n"
     "; fontHeight, fontWidth: cell height and average character width in pixels, the\n"
     ";   average as the face defines it: over the English letters for Arial (about half\n"
     ";   a character cell), over all glyphs for Meiryo (about one full-width character),\n"
     ";   the half-width advance for MS Gothic; fontWeight: 400 normal, 700 bold;\n"
     ";   fontColor: #rrggbb; align: Left, Center or Right.\n"
     "; fontPadding 0 shows a leading zero of month, day and hour as a blank.\n"
     "; Face names are Windows names: Arial and Arial Black are drawn with Liberation Sans,\n"
     "; Meiryo and MS Gothic with Noto Sans CJK JP.\n"},
    {u"Panel",
     "; Boxes the program draws itself, over a shade of opacity alpha, with text in the\n"
     "; style of their font keys (as in [Font]). TsunamiPanel: the tsunami forecast in force\n"
     "; (the regions by grade in the agency's colours, each with its expected height and first\n"
     "; wave), and for a minute that it was lifted; shown only then, over what lies under it.\n"
     "; Its rectangle is kept on the picture; fontHeight is 8 to 360 pixels.\n"},
    {u"Config",
     "; Framing of the maps. MapScaleMax caps the zoom level (0: no cap; at most 10);\n"
     "; MapScaleOffset is added to the zoom level the report asks for; MapXaxisOffset and\n"
     "; MapYaxisOffset shift the view by picture pixels (-300 to 300); MapXaxisPercent widens\n"
     "; (above 100) or narrows the part of the map of Japan shown across; MapYaxisPercent is\n"
     "; limited like it to 75 to 125.\n"},
};

void AppendLine(std::string& out, std::string_view line) {
  out += line;
  out += "\r\n";
}

void AppendNote(std::string& out, std::string_view note) {
  while (!note.empty()) {
    const std::size_t end = note.find('\n');
    AppendLine(out, note.substr(0, end));
    note.remove_prefix(end == std::string_view::npos ? note.size() : end + 1);
  }
}

// "; This theme's list form: " and the keys in which `listForm` differs from `layout`,
// those of other sections than `section` under their section's name, in lines of at most
// 92 characters.
void AppendListForm(std::string& out, std::u16string_view section, const ThemeLayout& layout,
                    const ThemeLayout& listForm) {
  const std::vector<ThemeLayoutEntry> from = ListThemeLayout(layout);
  const std::vector<ThemeLayoutEntry> to = ListThemeLayout(listForm);
  std::vector<std::string> items;
  std::u16string_view last = section;
  for (std::size_t i = 0; i < from.size() && i < to.size(); ++i) {
    if (from[i].value == to[i].value) continue;
    std::string item = Utf16ToUtf8(to[i].key) + "=" + Utf16ToUtf8(to[i].value);
    if (to[i].section != last) {
      last = to[i].section;
      item = "[" + Utf16ToUtf8(last) + "] " + item;
    }
    items.push_back(std::move(item));
  }
  std::string line = "; This theme's list form:";
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::string item = " " + items[i] + (i + 1 < items.size() ? "," : ".");
    if (line.size() + item.size() > 92) {
      AppendLine(out, line);
      line = ";  ";
    }
    line += item;
  }
  AppendLine(out, line);
}

}  // namespace

std::string WriteLayoutFile(const ThemeLayout& layout, const ThemeLayout& listForm) {
  std::string out;
  AppendNote(out, kHeader);
  std::u16string_view section;
  for (const ThemeLayoutEntry& entry : ListThemeLayout(layout)) {
    if (entry.section != section) {
      section = entry.section;
      AppendLine(out, "");
      for (const SectionNote& note : kNotes) {
        if (note.section == section) AppendNote(out, note.note);
      }
      if (section == u"Table") AppendListForm(out, section, layout, listForm);
      AppendLine(out, "[" + Utf16ToUtf8(section) + "]");
    }
    AppendLine(out, Utf16ToUtf8(entry.key) + "=" + Utf16ToUtf8(entry.value));
  }
  return out;
}

}  // namespace hw::themegen
