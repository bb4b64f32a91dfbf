#include "gui/shared/ClassListDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/AppSetup.h"
#include "gui/shared/UserMessages.h"

namespace qm::gui {

namespace {

const QString kSchoolKey = QStringLiteral("classLists/school");
const QString kScoresKey = QStringLiteral("classLists/scores");

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

ClassListDialog::ClassListDialog(const std::vector<reports::ClassEntry>& classes,
                                 const QString& goOnCaption, QWidget* parent)
    : QDialog(parent),
      schoolEdit_(new QLineEdit(this)),
      classList_(new QListWidget(this)),
      goOnButton_(new QPushButton(goOnCaption, this)) {
    setObjectName(QStringLiteral("ClassListDialog"));
    setWindowTitle(QStringLiteral("班级名单"));

    schoolEdit_->setObjectName(QStringLiteral("edSchool"));
    schoolEdit_->setPlaceholderText(QStringLiteral("印在每页最上面；不填就不印"));
    schoolEdit_->setText(programSettings().value(kSchoolKey).toString());

    classList_->setObjectName(QStringLiteral("lvClasses"));
    for (const auto& entry : classes) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry.name), classList_);
        item->setData(Qt::UserRole, entry.classId);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    auto* allButton = new QPushButton(QStringLiteral("全选"), this);
    auto* noneButton = new QPushButton(QStringLiteral("全不选"), this);
    connect(allButton, &QPushButton::clicked, this, [this] { tickAllClasses(true); });
    connect(noneButton, &QPushButton::clicked, this, [this] { tickAllClasses(false); });
    auto* classButtons = new QHBoxLayout;
    classButtons->addWidget(allButton);
    classButtons->addWidget(noneButton);
    classButtons->addStretch(1);
    auto* classPart = new QVBoxLayout;
    classPart->addWidget(classList_, 1);
    classPart->addLayout(classButtons);

    const QStringList remembered = programSettings().value(kScoresKey).toStringList();
    auto* scoreGrid = new QGridLayout;
    const auto& scores = reports::classListScores();
    for (std::size_t i = 0; i < scores.size(); ++i) {
        auto* box = new QCheckBox(text(scores[i].heading), this);
        box->setObjectName(QStringLiteral("cbScore_") + text(scores[i].column));
        box->setChecked(remembered.contains(text(scores[i].column)));
        scoreBoxes_.push_back(box);
        scoreGrid->addWidget(box, static_cast<int>(i / 5), static_cast<int>(i % 5));
    }

    auto* note = new QLabel(QStringLiteral("每班一页：序号、学号、姓名、性别和所选的成绩，"
                                           "还有各班男女人数和班主任签字栏。"),
                            this);
    note->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("学校名称："), schoolEdit_);
    form->addRow(QStringLiteral("打印的班级："), classPart);
    form->addRow(QStringLiteral("成绩列："), scoreGrid);

    auto* buttons = new QDialogButtonBox(this);
    goOnButton_->setObjectName(QStringLiteral("bnGoOn"));
    goOnButton_->setDefault(true);
    buttons->addButton(goOnButton_, QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &ClassListDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ClassListDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form, 1);
    layout->addWidget(note);
    layout->addWidget(buttons);
    classList_->setMinimumHeight(90);
    resize(460, 420);
}

void ClassListDialog::tickAllClasses(bool ticked) {
    for (int i = 0; i < classList_->count(); ++i) {
        classList_->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
}

std::vector<int> ClassListDialog::tickedClasses() const {
    std::vector<int> classes;
    for (int i = 0; i < classList_->count(); ++i) {
        if (classList_->item(i)->checkState() == Qt::Checked) {
            classes.push_back(classList_->item(i)->data(Qt::UserRole).toInt());
        }
    }
    return classes;
}

reports::ClassListChoice ClassListDialog::choice() const {
    reports::ClassListChoice chosen;
    chosen.school = schoolEdit_->text().trimmed().toStdString();
    const auto& scores = reports::classListScores();
    for (std::size_t i = 0; i < scores.size(); ++i) {
        if (scoreBoxes_[i]->isChecked()) {
            chosen.scores.emplace_back(scores[i].column);
        }
    }
    chosen.classes = tickedClasses();
    if (static_cast<int>(chosen.classes.size()) == classList_->count()) {
        chosen.classes.clear();
    }
    return chosen;
}

void ClassListDialog::accept() {
    if (tickedClasses().empty()) {
        inform(this, QStringLiteral("请至少勾选一个要打印的班级"));
        return;
    }
    const reports::ClassListChoice chosen = choice();
    QStringList scores;
    for (const std::string& column : chosen.scores) {
        scores << QString::fromStdString(column);
    }
    programSettings().setValue(kSchoolKey, QString::fromStdString(chosen.school));
    programSettings().setValue(kScoresKey, scores);
    QDialog::accept();
}

}  // namespace qm::gui
