#include "preview_dlg.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/translation.h>

#include "bar_picture_panel.h"
#include "dialog_parts.h"

CPreviewDlg::CPreviewDlg(wxWindow* parent, const wxString& summary, const std::vector<PlacedHotkey>& placed,
                         const BarPicture& picture)
    : wxDialog(parent, wxID_ANY, _("Preview"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(new wxStaticText(this, wxID_ANY, summary), 0, wxALL, 8);
  m_bars = new CBarPicturePanel(this, picture);
  sizer->Add(m_bars, 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);

  m_list = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(560, 320)),
                          wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_HRULES);
  const wxString columns[] = {_("Quickbar"), _("Bar"), _("Slot"), _("Hotkey"), _("Recipe")};
  for (const wxString& column : columns) m_list->AppendColumn(column);
  long row = 0;
  for (const PlacedHotkey& p : placed) {
    // quickbar * 1000 + bar * 10 + slot, slot counted from 0
    m_list->InsertItem(row, wxString::Format("%d", p.code / 1000));
    m_list->SetItem(row, 1, wxString::Format("%d", p.code % 1000 / 10));
    m_list->SetItem(row, 2, wxString::Format("%d", p.code % 10 + 1));
    m_list->SetItem(row, 3, ShownGameText(p.value));
    m_list->SetItem(row, 4, p.spacer ? wxString::Format(_("Spacer \"%s\""), ShownGameText(p.label))
                                     : ShownGameText(p.bonus) + " " + ShownGameText(p.amount));
    ++row;
  }
  // Each column as wide as its widest entry or its header, whichever is
  // wider. The header is measured here too, in the list's own font, with
  // room for the header's margins: some systems' own measure of it (Wine's)
  // uses another font and cuts it.
  for (int i = 0; i < 5; ++i) {
    m_list->SetColumnWidth(i, wxLIST_AUTOSIZE);
    const int entries = m_list->GetColumnWidth(i);
    m_list->SetColumnWidth(i, wxLIST_AUTOSIZE_USEHEADER);
    const int header = std::max(m_list->GetColumnWidth(i), m_list->GetTextExtent(columns[i]).x + FromDIP(24));
    m_list->SetColumnWidth(i, std::max(entries, header));
  }
  sizer->Add(m_list, 1, wxEXPAND | wxLEFT | wxRIGHT, 8);
  FinishCloseOnlyDialog(*this, sizer);
}
