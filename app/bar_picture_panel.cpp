#include "bar_picture_panel.h"

#include <algorithm>
#include <wx/dcbuffer.h>
#include <wx/control.h>
#include <wx/display.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/translation.h>

#include "dialog_parts.h"

namespace {

// Fills light enough for black text on them, in light and dark themes alike.
wxColour FillOf(const PictureSlot& slot) {
  switch (slot.content) {
    case SlotContent::Empty: return wxNullColour;
    case SlotContent::Spacer: return wxColour(0xD9, 0xD4, 0xC7);
    case SlotContent::Kept: return wxColour(0xB4, 0xB4, 0xB4);
    case SlotContent::Recipe: break;
  }
  const std::string& g = slot.group;
  if (g == "stat") return wxColour(0xF4, 0xB1, 0x83);
  if (g == "resist") return wxColour(0x9D, 0xC3, 0xE6);
  if (g == "skill") return wxColour(0xA9, 0xD1, 0x8E);
  if (g == "hits" || g == "power") return wxColour(0xF2, 0x9B, 0x9B);
  if (g == "focus") return wxColour(0xC9, 0xA6, 0xE4);
  return wxColour(0xFF, 0xE6, 0x99);  // other groups, and the gem table's gems
}

// `colour` taken most of the way to `background`: a bar the run leaves alone.
wxColour Faint(const wxColour& colour, const wxColour& background) {
  auto mix = [](unsigned char a, unsigned char b) { return static_cast<unsigned char>((a + 2 * b) / 3); };
  return wxColour(mix(colour.Red(), background.Red()), mix(colour.Green(), background.Green()),
                  mix(colour.Blue(), background.Blue()));
}

// What a slot shows: its label, or a kept key without a name of its own by its kind.
wxString LabelOf(const PictureSlot& slot) {
  if (slot.content != SlotContent::Kept || !slot.label.empty()) return ShownGameText(slot.label);
  const char* name = KindName(slot.kind);
  return name ? wxGetTranslation(name) : wxString::Format(_("kind %d"), slot.kind);
}

wxString KindText(const PictureSlot& slot) {
  switch (slot.content) {
    case SlotContent::Recipe: return wxString::Format(_("Recipe: %s"), LabelOf(slot));
    case SlotContent::Spacer: return wxString::Format(_("Spacer \"%s\""), LabelOf(slot));
    case SlotContent::Kept: return wxString::Format(_("Stays: %s"), LabelOf(slot));
    case SlotContent::Empty: break;
  }
  return _("Empty");
}

}  // namespace

CBarPicturePanel::CBarPicturePanel(wxWindow* parent, const BarPicture& picture)
    : wxScrolled<wxPanel>(parent, wxID_ANY), m_picture(picture) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  // Sizes from the font, so that the picture fits any font size and DPI.
  const wxSize letter = GetTextExtent("M");
  m_cellWidth = GetCharWidth() * 9;  // "slash 11", "Hände": most labels whole
  m_cellHeight = letter.y * 5 / 2;
  m_gap = std::max(2, letter.x / 3);
  for (const PictureBar& bar : m_picture.bars) m_labelWidth = std::max(m_labelWidth, GetTextExtent(RowLabel(bar)).x);
  m_labelWidth += letter.x;
  const int rows = static_cast<int>(m_picture.bars.size());
  const wxSize full(m_labelWidth + 10 * (m_cellWidth + m_gap), rows * (m_cellHeight + m_gap) + m_gap);
  SetVirtualSize(full);
  SetScrollRate(m_cellWidth / 4, m_cellHeight / 4);
  const wxRect screen = wxDisplay(parent).GetClientArea();
  ShowAtMost(wxSize(screen.width * 9 / 10, screen.height / 2));
  Bind(wxEVT_PAINT, &CBarPicturePanel::OnPaint, this);
  Bind(wxEVT_MOTION, &CBarPicturePanel::OnMotion, this);
}

// At least a slot and its row's label show, however small the room.
wxSize CBarPicturePanel::Smallest() const { return wxSize(m_labelWidth + m_cellWidth, m_cellHeight + 2 * m_gap); }

void CBarPicturePanel::ShowAtMost(const wxSize& most) {
  const wxSize full = GetVirtualSize(), smallest = Smallest();
  SetMinClientSize(wxSize(std::min(full.x, std::max(most.x, smallest.x)), std::min(full.y, std::max(most.y, smallest.y))));
}

void CBarPicturePanel::FitWithin(const wxSize& most) {
  const wxSize full = GetVirtualSize();
  const int across = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this);
  const int down = wxSystemSettings::GetMetric(wxSYS_HSCROLL_Y, this);
  // A scroll bar one way takes room the other way.
  bool sideways = full.x > most.x, upways = full.y > most.y;
  upways = upways || (sideways && full.y > most.y - down);
  sideways = sideways || (upways && full.x > most.x - across);
  const wxSize smallest = Smallest();
  SetMinClientSize(wxDefaultSize);
  SetMinSize(wxSize(std::max(std::min(full.x + (upways ? across : 0), most.x), smallest.x),
                    std::max(std::min(full.y + (sideways ? down : 0), most.y), smallest.y)));
}

wxString CBarPicturePanel::RowLabel(const PictureBar& bar) const {
  // The dot is added apart: a catalog's text must be ASCII to be found in any locale.
  return wxString::Format(_("Quickbar %d"), bar.quickbar) + wxString::FromUTF8(" \xC2\xB7 ") +
         wxString::Format(_("Bar %d"), bar.bar);
}

wxRect CBarPicturePanel::SlotRect(std::size_t row, std::size_t slot) const {
  return wxRect(m_labelWidth + static_cast<int>(slot) * (m_cellWidth + m_gap),
                m_gap + static_cast<int>(row) * (m_cellHeight + m_gap), m_cellWidth, m_cellHeight);
}

wxString CBarPicturePanel::SlotTip(std::size_t row, std::size_t slot) const {
  const PictureSlot& s = m_picture.bars.at(row).slots.at(slot);
  wxString tip = wxString::Format("%s\n%s", wxString::Format(_("Slot %d of the walk"), s.order), KindText(s));
  if (s.replaced)
    tip += "\n" + wxString::Format(s.content == SlotContent::Empty ? _("Removes: %s") : _("Replaces: %s"),
                                   ShownGameText(s.before));
  return tip;
}

void CBarPicturePanel::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  DoPrepareDC(dc);
  const wxColour background = GetBackgroundColour(), text = GetForegroundColour();
  const wxColour grey = wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT);
  dc.SetBackground(wxBrush(background));
  dc.Clear();
  const wxFont font = GetFont();
  wxFont small = font.Scaled(0.75f);
  const int badge = m_cellHeight / 3;
  for (std::size_t row = 0; row < m_picture.bars.size(); ++row) {
    const PictureBar& bar = m_picture.bars[row];
    dc.SetFont(font);
    dc.SetTextForeground(bar.touched ? text : grey);
    const wxRect first = SlotRect(row, 0);
    dc.DrawText(RowLabel(bar), 0, first.y + (m_cellHeight - dc.GetCharHeight()) / 2);
    for (std::size_t i = 0; i < 10; ++i) {
      const PictureSlot& slot = bar.slots[i];
      const wxRect cell = SlotRect(row, i);
      wxColour fill = FillOf(slot);
      if (fill.IsOk() && !bar.touched) fill = Faint(fill, background);
      dc.SetPen(wxPen(bar.touched ? grey : Faint(grey, background)));
      dc.SetBrush(fill.IsOk() ? wxBrush(fill) : *wxTRANSPARENT_BRUSH);
      dc.DrawRoundedRectangle(cell, m_gap);
      if (slot.replaced) {  // a corner badge: what was here goes
        const wxPoint corner[] = {{cell.GetRight() - badge, cell.y}, {cell.GetRight(), cell.y},
                                  {cell.GetRight(), cell.y + badge}};
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(wxColour(0xC0, 0x30, 0x20)));
        dc.DrawPolygon(3, corner);
      }
      const wxColour ink = fill.IsOk() ? wxColour(0x20, 0x20, 0x20) : grey;
      dc.SetFont(small);
      dc.SetTextForeground(ink);
      dc.DrawText(wxString::Format("%d", slot.order), cell.x + m_gap, cell.y + 1);
      if (slot.content == SlotContent::Empty) continue;
      dc.SetFont(font);
      dc.SetTextForeground(slot.content == SlotContent::Kept ? wxColour(0x40, 0x40, 0x40) : ink);
      // A label wider than its cell ends in an ellipsis; the slot's tip has it whole.
      const wxString label = wxControl::Ellipsize(LabelOf(slot), dc, wxELLIPSIZE_END, cell.width - 2 * m_gap);
      dc.DrawText(label, cell.x + m_gap, cell.GetBottom() - dc.GetCharHeight() - m_gap);
    }
  }
}

void CBarPicturePanel::OnMotion(wxMouseEvent& event) {
  long at = -1;
  for (std::size_t row = 0; row < m_picture.bars.size() && at < 0; ++row)
    for (std::size_t i = 0; i < 10; ++i)
      if (SlotRect(row, i).Contains(CalcUnscrolledPosition(event.GetPosition()))) at = static_cast<long>(row * 10 + i);
  if (at == m_tipAt) return;
  m_tipAt = at;
  if (at < 0)
    UnsetToolTip();
  else
    SetToolTip(SlotTip(static_cast<std::size_t>(at / 10), static_cast<std::size_t>(at % 10)));
}

CBarPictureDlg::CBarPictureDlg(wxWindow* parent, const BarPicture& picture, wxSize room)
    : wxDialog(parent, wxID_ANY, _("Bars"), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  auto* panel = new CBarPicturePanel(this, picture);
  const wxSize full = panel->GetVirtualSize();
  panel->ShowAtMost(full);
  sizer->Add(panel, 1, wxEXPAND | wxALL, FromDIP(8));
  FinishCloseOnlyDialog(*this, sizer);
  // Larger than the screen's room (a small screen, a large scale): the
  // picture gives up what is too much.
  if (room == wxDefaultSize) room = wxDisplay(this).GetClientArea().GetSize();
  const wxSize over = GetSize() - room;
  if (over.x <= 0 && over.y <= 0) return;
  panel->FitWithin(panel->GetSize() - wxSize(std::max(over.x, 0), std::max(over.y, 0)));
  SetMinSize(wxDefaultSize);
  GetSizer()->SetSizeHints(this);  // fitted anew, the cached sizes forgotten
  CentreOnParent();
}
