#pragma once

#include <QWidget>
#include <array>
#include <optional>

#include "store/DivisionSettings.h"

class QCheckBox;
class QRadioButton;
class QSpinBox;
class QPushButton;
class QTabWidget;

namespace qm::gui {

class Workspace;

// The settings window "分班设置" of one project: which balancing rules a division applies, the
// band tolerance, boys or girls first, the fine-tuning count, and whether a division ends with
// 深度优化 and in which strength. It loads the project's row when first shown and stores it with
// "确定", which then closes the window; "取消" closes it without storing. Settings another program
// stores meanwhile are shown when the window holds no changes of the teacher's, and are never
// replaced by the window's without asking.
class DivisionSettingsWindow : public QWidget {
    Q_OBJECT

  public:
    // The window works on the project that is current when it is made.
    explicit DivisionSettingsWindow(Workspace& workspace, QWidget* parent = nullptr);

    // The seven stored boxes: cb_person, cb_total, cb_ch, cb_math, cb_eng, cb_inter, cb_man.
    const std::array<QCheckBox*, 7>& settingBoxes() const { return settingBoxes_; }
    // The nine subject boxes of the first page, all in its group: the subjects that take part in
    // 深度优化 and the balance figures (the division itself always uses all nine).
    const std::array<QCheckBox*, 9>& subjectBoxes() const { return subjectBoxes_; }
    QSize sizeHint() const override { return {362, 270}; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* buildSubjectPage();
    QWidget* buildRulesPage();
    QWidget* buildNumbersPage();
    QWidget* buildOptimisationPage();
    void loadStoredSettings();
    void showSettings(const store::DivisionSettings& settings);
    // The row as the window shows it now.
    store::DivisionSettings windowSettings() const;
    void followOutsideChange();
    void saveAndClose();

    Workspace& workspace_;
    std::optional<int> projectId_;
    bool loaded_ = false;
    std::optional<store::DivisionSettings> shown_;  // the stored row the window shows
    QTabWidget* pages_;
    std::array<QCheckBox*, 9> subjectBoxes_{};
    std::array<QCheckBox*, 7> settingBoxes_{};
    // The band tolerance (1 to 1000) and the fine-tuning count (0 to 1000).
    QSpinBox* bandToleranceBox_ = nullptr;
    QSpinBox* tuningCountBox_ = nullptr;
    // Page "深度优化": whether a division ends with it, and its strength, which the result
    // window's "深度优化" uses too.
    QCheckBox* deepOptimisationBox_ = nullptr;
    QRadioButton* averagesFirstButton_ = nullptr;
    QRadioButton* bandsFirstButton_ = nullptr;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

}  // namespace qm::gui
