#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <array>
#include <optional>

#include "ui/key/key_picture.h"
#include "ui/main/editing_window.h"

namespace orvex {

// `frmKey`, the Key Assignment window: the radio's keys over its picture.
// Only the side key "PF1" is programmable; choosing its function in `CboKey`
// writes the image at once, so the window has nothing to store.
class FrmKey : public EditingWindow {
  Q_OBJECT

 public:
  explicit FrmKey(const EditingContext& context, QWidget* parent = nullptr);

  // Captions and items in the current language, then the side key from the
  // image.  A refresh that changes the shown item writes it back, as a
  // choice in the list would; so a byte of 6..255 becomes 0 the first time.
  void RefreshKey();

  void Refresh() override { RefreshKey(); }
  [[nodiscard]] bool refreshesOnOpen() const override { return false; }
  [[nodiscard]] UserClose userClose() const override { return UserClose::Destroy; }

  [[nodiscard]] QComboBox* CboKey() const { return m_cboKey; }
  [[nodiscard]] QGroupBox* FraKey(int index) const { return m_fraKey.at(index); }
  [[nodiscard]] KeyPicture* PicKey() const { return m_picKey; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyCaptions();
  void LoadControls();
  void ShowPosition(std::optional<int> position);
  void SideKeyChosen(int position);

  KeyPicture* m_picKey;
  std::array<QGroupBox*, KeyPicture::kKeyCount> m_fraKey{};
  QComboBox* m_cboKey;
  // `LblKey` / `LblKey2` 0, 2 and 3: what a fixed key does, beside its name.
  std::array<QLabel*, 3> m_lblKey{};
  std::array<QLabel*, 3> m_lblKey2{};
  // What CboKey shows; nothing before the first refresh.
  std::optional<int> m_shown;
  bool m_loading = false;
};

}  // namespace orvex
