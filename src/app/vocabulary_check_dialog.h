#pragma once
// The vocabulary check (語彙チェック): one word at a time, 知っている / 知らない (keys Y and N, or
// ← and →), a progress bar, and at the end the estimate. The drawing and the arithmetic are
// study/vocabulary_level's; this window only shows the word and forwards the answer.

#include <QDialog>
#include <memory>

#include "study/vocabulary_level.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace quillmark {

class TVocabularyCheckDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kTitle = "語彙チェック";
  // `ranks` and `madeUp` must outlive the dialog; `seed` fixes the words drawn.
  TVocabularyCheckDialog(const FrequencyRanks& ranks, const std::vector<std::string>& madeUp,
                         std::uint32_t seed, QWidget* parent = nullptr);
  ~TVocabularyCheckDialog() override;

  // The answer to the word shown, as a click on its button gives it.
  void Answer(bool known);
  // Accepted (UseLevelButton) only once the check is finished: the level to keep.
  std::int32_t Level() const { return LevelOfEstimate(check_->Estimate()); }
  const VocabularyCheck& Check() const { return *check_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ShowCurrent();

  std::unique_ptr<VocabularyCheck> check_;
  QLabel* wordLabel_ = nullptr;
  QLabel* noteLabel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* knownButton_ = nullptr;
  QPushButton* unknownButton_ = nullptr;
  QPushButton* useButton_ = nullptr;
};

}  // namespace quillmark
