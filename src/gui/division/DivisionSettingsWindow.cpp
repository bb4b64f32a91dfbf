#include "gui/division/DivisionSettingsWindow.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "common/NumberText.h"
#include "gui/MdiChildren.h"
#include "gui/Workspace.h"
#include "gui/shared/OutsideChanges.h"
#include "gui/shared/UserMessages.h"
#include "gui/widgets/ScreenFit.h"
#include "reports/StudentColumns.h"
#include "store/DivisionSettings.h"
#include "store/Limits.h"
#include "store/StudentTable.h"

namespace qm::gui {

namespace {

enum SettingBox { kPerson, kTotal, kChinese, kMath, kEnglish, kBands, kBoysFirst };

const QString kMissingRow = QStringLiteral("不存在该班别的参数设置");

// The score column (table order) whose subject a box of the first page names.
int subjectOf(const QCheckBox& box) {
    for (std::size_t s = 0; s < store::kScoreColumns.size(); ++s) {
        const std::string_view heading = reports::columnHeading(store::kScoreColumns[s]);
        if (box.text() == QString::fromUtf8(heading.data(), static_cast<int>(heading.size()))) {
            return static_cast<int>(s);
        }
    }
    return -1;
}

QCheckBox* tickedBox(const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setChecked(true);
    return box;
}

// A box for a whole number within the bounds both fronts accept; nothing else can be typed.
QSpinBox* numberBox(const QString& name, int lowest, int highest, int value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(lowest, highest);
    box->setValue(value);
    box->setToolTip(QStringLiteral("%1 到 %2 之间的整数").arg(lowest).arg(highest));
    return box;
}

QLabel* hintLine(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: blue;"));
    return label;
}

}  // namespace

DivisionSettingsWindow::DivisionSettingsWindow(Workspace& workspace, QWidget* parent)
    : QWidget(parent),
      workspace_(workspace),
      pages_(new QTabWidget(this)),
      okButton_(new QPushButton(QStringLiteral("确定"), this)),
      cancelButton_(new QPushButton(QStringLiteral("取消"), this)) {
    setObjectName(QStringLiteral("Tfrm_config"));
    setWindowTitle(QStringLiteral("分班设置"));
    pages_->setObjectName(QStringLiteral("tabSettings"));
    okButton_->setObjectName(QStringLiteral("bnOk"));
    cancelButton_->setObjectName(QStringLiteral("bnCancel"));
    if (workspace_.hasProject()) {
        projectId_ = parseWholeNumber(workspace_.currentProject().fbId);
    }

    // The pages scroll on a small screen; 确定 and 取消 stay in sight below them.
    pages_->addTab(scrolledPage(buildSubjectPage(), pages_), QStringLiteral("科目设置"));
    pages_->addTab(scrolledPage(buildRulesPage(), pages_), QStringLiteral("参数设置1"));
    pages_->addTab(scrolledPage(buildNumbersPage(), pages_), QStringLiteral("参数设置2"));
    pages_->addTab(scrolledPage(buildOptimisationPage(), pages_), QStringLiteral("深度优化"));
    pages_->setCurrentIndex(2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons);

    connect(okButton_, &QPushButton::clicked, this, &DivisionSettingsWindow::saveAndClose);
    connect(&workspace_.outsideChanges(), &OutsideChanges::changed, this,
            &DivisionSettingsWindow::followOutsideChange);
    // "取消" leaves the stored row as it was.
    connect(cancelButton_, &QPushButton::clicked, this, [this] { closeMdiChild(this); });
}

QWidget* DivisionSettingsWindow::buildSubjectPage() {
    auto* page = new QWidget(pages_);
    auto* group = new QGroupBox(QStringLiteral("参加分班的科目设置"), page);
    group->setToolTip(QStringLiteral("不勾选的科目不参加深度优化，也不计入均衡度；分班本身仍按九科"));
    auto* grid = new QGridLayout(group);
    const QString captions[] = {
        QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语"),
        QStringLiteral("物理"), QStringLiteral("体育"), QStringLiteral("生物"),
        QStringLiteral("地理"), QStringLiteral("历史"), QStringLiteral("政治")};
    for (int i = 0; i < 9; ++i) {
        subjectBoxes_[static_cast<std::size_t>(i)] = tickedBox(captions[i], group);
        grid->addWidget(subjectBoxes_[static_cast<std::size_t>(i)], i / 2, i % 2);
    }
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(group);
    return page;
}

QWidget* DivisionSettingsWindow::buildRulesPage() {
    auto* page = new QWidget(pages_);
    const std::array<std::pair<const char*, const char*>, 6> boxes = {{
        {"cb_person", "男女平均分到每个班"},
        {"cb_total", "每班总分平均分要求尽量相同"},
        {"cb_ch", "每班语文平均分要求尽量相同"},
        {"cb_math", "每班数学平均分要求尽量相同   "},
        {"cb_eng", "每班英语平均分要求尽量相同"},
        {"cb_inter", "考虑每科分数线的间隔人数相等"},
    }};
    auto* layout = new QVBoxLayout(page);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        settingBoxes_[i] = tickedBox(QString::fromUtf8(boxes[i].second), page);
        settingBoxes_[i]->setObjectName(QString::fromUtf8(boxes[i].first));
        layout->addWidget(settingBoxes_[i]);
    }
    layout->addStretch();
    return page;
}

QWidget* DivisionSettingsWindow::buildNumbersPage() {
    auto* page = new QWidget(pages_);
    bandToleranceBox_ = numberBox(QStringLiteral("edInter"), store::kMinBandTolerance,
                                  store::kMaxBandTolerance, 1, page);
    tuningCountBox_ = numberBox(QStringLiteral("edWTNum"), store::kMinTuningCount,
                                store::kMaxTuningCount, 50, page);

    auto* frame = new QGroupBox(page);
    settingBoxes_[kBoysFirst] = new QCheckBox(QStringLiteral("先男后女"), frame);
    settingBoxes_[kBoysFirst]->setObjectName(QStringLiteral("cb_man"));
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(settingBoxes_[kBoysFirst]);

    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("分数间隔权重           "), page), 0, 0);
    layout->addWidget(bandToleranceBox_, 0, 1);
    layout->addWidget(
        hintLine(QStringLiteral("数字越大，每科间隔分数人就越接近               "), page), 1, 0, 1,
        2);
    layout->addWidget(
        hintLine(QStringLiteral("但平均分就偏远，反之，刚好相反                 "), page), 2, 0, 1,
        2);
    layout->addWidget(frame, 3, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("微调次数           "), page), 4, 0);
    layout->addWidget(tuningCountBox_, 4, 1);
    layout->setRowStretch(5, 1);
    return page;
}

// Whether a division ends with 深度优化, and its strength, each with what it means for the classes.
QWidget* DivisionSettingsWindow::buildOptimisationPage() {
    auto* page = new QWidget(pages_);
    deepOptimisationBox_ = new QCheckBox(QStringLiteral("深度优化"), page);
    deepOptimisationBox_->setObjectName(QStringLiteral("cb_deepOpt"));
    auto* meaning = hintLine(QStringLiteral("分班结束后再调整学生，使各班人数相等，平均分和分数段"
                                            "人数更接近；固定的学生不动，男女和各分类人数的差距"
                                            "不会变大"),
                             page);
    meaning->setWordWrap(true);

    auto* strength = new QGroupBox(QStringLiteral("强度"), page);
    averagesFirstButton_ = new QRadioButton(QStringLiteral("平均分优先"), strength);
    averagesFirstButton_->setObjectName(QStringLiteral("rb_averagesFirst"));
    averagesFirstButton_->setToolTip(QStringLiteral("各班平均分尽量接近，分数段人数不比分班时差"));
    averagesFirstButton_->setChecked(true);
    bandsFirstButton_ = new QRadioButton(QStringLiteral("分数段优先"), strength);
    bandsFirstButton_->setObjectName(QStringLiteral("rb_bandsFirst"));
    bandsFirstButton_->setToolTip(
        QStringLiteral("先使各科分数段人数最多相差 4 人，各班平均分相差约 1 分以内"));
    auto* strengthLayout = new QHBoxLayout(strength);
    strengthLayout->addWidget(averagesFirstButton_);
    strengthLayout->addWidget(bandsFirstButton_);

    auto* button = hintLine(QStringLiteral("“分班结果”窗口的“深度优化”按钮也用这里的强度"), page);
    button->setWordWrap(true);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(deepOptimisationBox_);
    layout->addWidget(meaning);
    layout->addWidget(strength);
    layout->addWidget(button);
    layout->addStretch();
    return page;
}

void DivisionSettingsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!loaded_) {
        loaded_ = true;
        loadStoredSettings();
    }
}

// Shows the project's row; without a row the boxes keep their initial values.
void DivisionSettingsWindow::loadStoredSettings() {
    runGuarded(this, [&] {
        const auto settings =
            projectId_ ? store::loadSettings(workspace_.connection(), *projectId_) : std::nullopt;
        if (!settings) {
            showError(this, kMissingRow);
            return;
        }
        showSettings(*settings);
    });
}

void DivisionSettingsWindow::showSettings(const store::DivisionSettings& settings) {
    const int flags[] = {settings.is_avg_person, settings.is_avg_total, settings.is_avg_ch,
                         settings.is_avg_math,   settings.is_avg_eng,   settings.is_avg_inter,
                         settings.is_man};
    for (std::size_t i = 0; i < settingBoxes_.size(); ++i) {
        settingBoxes_[i]->setChecked(flags[i] == 1);
    }
    bandToleranceBox_->setValue(settings.inter);
    tuningCountBox_->setValue(settings.wtNum.value_or(0));
    deepOptimisationBox_->setChecked(settings.is_deep_opt == 1);
    (settings.deep_opt_mode == 1 ? bandsFirstButton_ : averagesFirstButton_)->setChecked(true);
    for (QCheckBox* box : subjectBoxes_) {
        box->setChecked(store::takesPart(settings, subjectOf(*box)));
    }
    shown_ = settings;
}

store::DivisionSettings DivisionSettingsWindow::windowSettings() const {
    store::DivisionSettings settings = *shown_;
    const auto flag = [&](SettingBox box) { return settingBoxes_[box]->isChecked() ? 1 : 0; };
    settings.is_avg_person = flag(kPerson);
    settings.is_avg_total = flag(kTotal);
    settings.is_avg_ch = flag(kChinese);
    settings.is_avg_math = flag(kMath);
    settings.is_avg_eng = flag(kEnglish);
    settings.is_avg_inter = flag(kBands);
    settings.inter = bandToleranceBox_->value();
    settings.is_man = flag(kBoysFirst);
    settings.wtNum = tuningCountBox_->value();
    settings.is_deep_opt = deepOptimisationBox_->isChecked() ? 1 : 0;
    settings.deep_opt_mode = bandsFirstButton_->isChecked() ? 1 : 0;
    settings.skip_subjects = 0;
    for (const QCheckBox* box : subjectBoxes_) {
        settings.skip_subjects |= box->isChecked() ? 0 : 1 << subjectOf(*box);
    }
    return settings;
}

// Another program changed the data: a window the teacher has not changed shows the stored row
// anew; one with changes keeps them, and 确定 then asks before it replaces the newer row.
void DivisionSettingsWindow::followOutsideChange() {
    if (shown_ && windowSettings() == *shown_) {
        loadStoredSettings();
    }
}

// Stores the row and closes the window. A number box holding text it cannot take (a number
// beyond its bounds typed in) is refused with a message, nothing is stored and the window stays.
// When another program stored other settings since the window showed them, the teacher chooses
// between the window's and those, which the window then shows.
void DivisionSettingsWindow::saveAndClose() {
    const std::pair<QSpinBox*, const char*> numbers[] = {{bandToleranceBox_, "分数间隔权重"},
                                                         {tuningCountBox_, "微调次数"}};
    for (const auto& [box, caption] : numbers) {
        if (!box->hasAcceptableInput()) {
            showError(this, QStringLiteral("“%1”必须是 %2 到 %3 之间的整数: \"%4\"")
                                .arg(QString::fromUtf8(caption))
                                .arg(box->minimum())
                                .arg(box->maximum())
                                .arg(box->text()));
            box->setFocus();
            return;
        }
    }
    workspace_.outsideChanges().check();
    if (!shown_) {
        closeMdiChild(this);  // nothing to store into; the window closes all the same
        return;
    }
    std::optional<store::DivisionSettings> newer;
    const store::DivisionSettings settings = windowSettings();
    bool stored = runGuarded(this, [&] {
        newer = store::saveSettingsUnlessChanged(workspace_.connection(), *shown_, settings);
    });
    while (stored && newer) {
        if (!confirm(this, QStringLiteral("另一个程序在这个窗口打开后改动了分班设置。\n\n"
                                          "要用这个窗口里的设置替换它们吗？选“否”则不保存，"
                                          "窗口显示改动后的设置。"))) {
            showSettings(*newer);
            return;
        }
        const store::DivisionSettings seen = *newer;
        stored = runGuarded(this, [&] {
            newer = store::saveSettingsUnlessChanged(workspace_.connection(), seen, settings);
        });
    }
    if (stored) {
        shown_ = settings;
        closeMdiChild(this);
    }
}

}  // namespace qm::gui
