// The column header control as the tree's header: the tree reads sections,
// brackets and measures through IElTreeHeader; this puts a TCustomElHeader
// behind it. The control that owns both routes the header's section events
// to the tree's relays (HeaderSectionClick, HeaderSectionDeleted, ...).
#pragma once

#include "controls/elheader.h"
#include "treeview/eltreeports.h"

namespace morvane {

class TElTreeHeaderLink : public IElTreeHeader {
 public:
  explicit TElTreeHeaderLink(TCustomElHeader* Header) : header_(Header) {}
  TElHeaderSections& Sections() override { return *header_->Sections(); }
  void BeginUpdate() override { header_->BeginUpdate(); }
  void EndUpdate() override { header_->EndUpdate(); }
  int MeasureSection(TElHeaderSection* Section) override;
  void SetLeftPos(int Value) override { header_->SetLeftPos(Value); }
  int SectionsWidth() override { return header_->SectionsWidth(); }
  void SetRightAlignedOrder(bool Value) override { header_->SetRightAlignedOrder(Value); }
  TCustomElHeader* Header() const { return header_; }

 private:
  TCustomElHeader* header_;
};

}  // namespace morvane
