#include "gui/students/StudentListWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>
#include <tuple>
#include <utility>

#include "db/ResultSet.h"
#include "gui/MdiChildren.h"
#include "gui/Workspace.h"
#include "gui/adjustments/HandMoveMenu.h"
#include "gui/adjustments/StudentDropTarget.h"
#include "gui/shared/ClassChanges.h"
#include "gui/shared/UserMessages.h"
#include "gui/students/ClassFiguresPanel.h"
#include "gui/students/GroupPanel.h"
#include "gui/students/StudentListModel.h"
#include "reports/ClassList.h"
#include "reports/StudentEditor.h"
#include "reports/StudentQuery.h"

namespace qm::gui {

namespace {

constexpr int kTreePanelWidth = 161;
constexpr int kTreeLeastWidth = 90;
constexpr int kPanelWidth = 300;
constexpr int kDefaultColumnWidth = 64;
constexpr int kClassRole = Qt::UserRole;

std::string boxText(const QLineEdit* box) {
    return box->text().toStdString();
}

// The grid, with a way to end the typing into a cell from the record buttons, and drags that
// carry the chosen students (see StudentDrag) and take nothing out of the grid.
class StudentGrid : public QTableView {
  public:
    using QTableView::QTableView;

    std::function<void()> dragChosenStudents;

    // Hands the text of an open cell editor to the row (commit) or drops it, and closes it.
    void endCellEdit(bool commit) {
        if (QWidget* editor = indexWidget(currentIndex())) {
            if (commit) {
                commitData(editor);
            }
            closeEditor(editor, commit ? QAbstractItemDelegate::NoHint
                                       : QAbstractItemDelegate::RevertModelCache);
        }
    }

  protected:
    void startDrag(Qt::DropActions) override {
        if (dragChosenStudents) {
            dragChosenStudents();
        }
    }
};

void endCellEdit(QTableView* grid, bool commit) {
    static_cast<StudentGrid*>(grid)->endCellEdit(commit);
}

}  // namespace

StudentListWindow::StudentListWindow(Workspace& workspace, QWidget* parent)
    : QWidget(parent),
      workspace_(workspace),
      project_(workspace.currentProject()),
      classTree_(new QTreeWidget(this)),
      model_(new StudentListModel(this)),
      grid_(new StudentGrid(this)),
      navigator_(new RecordNavigator(this)) {
    setObjectName(QStringLiteral("Tfrm_list"));
    setWindowTitle(QStringLiteral("学生名单"));

    classTree_->setObjectName(QStringLiteral("tv_class"));
    classTree_->setHeaderHidden(true);
    classTree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    classTree_->setMinimumWidth(kTreeLeastWidth);
    connect(classTree_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showChosenClass(item); });

    buildGrid();
    auto* list = new QWidget(this);
    auto* listLayout = new QVBoxLayout(list);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addWidget(buildQueryBoxes());
    listLayout->addWidget(grid_, 1);
    // Tree, list and panel share the width as the teacher drags their dividers: the grid can
    // grow at the cost of the others, the panel be widened or closed altogether, and on a small
    // screen the tree closed to give the panel room.
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("splitList"));
    splitter_->addWidget(classTree_);
    splitter_->addWidget(list);
    splitter_->addWidget(buildSidePanel());
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setStretchFactor(2, 0);
    splitter_->setCollapsible(1, false);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter_, 1);
    acceptDroppedStudents();

    connect(navigator_, &RecordNavigator::clicked, this, &StudentListWindow::navigate);
    connect(model_, &StudentListModel::editingChanged, navigator_, &RecordNavigator::setEditing);
    connect(model_, &StudentListModel::editingChanged, this, [this](bool editing) {
        if (!editing && showClassesWhenPosted_) {
            // Not while the model is still ending the edit.
            QTimer::singleShot(0, this, [this] {
                if (!model_->isEditing() && showClassesWhenPosted_) {
                    showClassesNow();
                }
            });
        }
    });
    connect(&workspace_.classChanges(), &ClassChanges::changed, this,
            &StudentListWindow::followClassChange);
}

QWidget* StudentListWindow::buildSidePanel() {
    sidePanel_ = new QTabWidget(this);
    sidePanel_->setObjectName(QStringLiteral("tabSide"));
    figuresPanel_ = new ClassFiguresPanel(workspace_, project_, sidePanel_);
    groupPanel_ = new GroupPanel(
        workspace_, project_,
        [this] {
            std::vector<int> numbers;
            for (const ChosenStudent& student : chosenStudents()) {
                numbers.push_back(student.studentId);
            }
            return numbers;
        },
        sidePanel_);
    sidePanel_->addTab(figuresPanel_, QStringLiteral("班级数据"));
    sidePanel_->addTab(groupPanel_, QStringLiteral("约束"));
    return sidePanel_;
}

// The first time the window has its width: the tree as wide as its class names need, the panel
// three eighths of the rest (up to its usual width) or what its buttons need, the list the rest.
void StudentListWindow::shareWidth() {
    const int total = splitter_->width() - 2 * splitter_->handleWidth();
    const int tree = std::clamp(total / 6, kTreeLeastWidth, kTreePanelWidth);
    const int panel = std::max(sidePanel_->minimumSizeHint().width(),
                               std::min(kPanelWidth, (total - tree) * 3 / 8));
    splitter_->setSizes({tree, std::max(0, total - tree - panel), panel});
}

// A student dropped onto a class of the tree, or onto the row of a student of another class,
// moves into that class.
void StudentListWindow::acceptDroppedStudents() {
    const auto moveThere = [this](const std::vector<ChosenStudent>& students, int classId) {
        moveChosenStudent(this, workspace_, students, classId,
                          [this] { return mayMoveStudents(); });
    };
    new StudentDropTarget(
        *classTree_,
        [this](const QPoint& place) -> std::optional<int> {
            const QTreeWidgetItem* node = classTree_->itemAt(place);
            if (!node || !node->parent()) {
                return std::nullopt;
            }
            return node->data(0, kClassRole).toInt();
        },
        moveThere);
    new StudentDropTarget(
        *grid_,
        [this](const QPoint& place) -> std::optional<int> {
            const int row = grid_->indexAt(place).row();
            if (row < 0 || !model_->storedStudentId(row)) {
                return std::nullopt;
            }
            return model_->text(row, StudentListModel::columnOf("class_id")).toInt();
        },
        moveThere);
}

std::vector<ChosenStudent> StudentListWindow::chosenStudents() const {
    std::set<int> rows;
    for (const QModelIndex& index : grid_->selectionModel()->selectedIndexes()) {
        rows.insert(index.row());
    }
    const int classColumn = StudentListModel::columnOf("class_id");
    std::vector<ChosenStudent> students;
    for (int row : rows) {
        if (const auto studentId = model_->storedStudentId(row)) {
            students.push_back({*studentId, model_->text(row, classColumn).toInt()});
        }
    }
    return students;
}

bool StudentListWindow::mayMoveStudents() {
    return !model_->isEditing() || postEdit();
}

void StudentListWindow::fillGridMenu(QMenu& menu) {
    const std::vector<ChosenStudent> chosen = chosenStudents();
    addHandMoveActions(menu, this, workspace_, chosen, [this] { return mayMoveStudents(); });
    menu.addSeparator();
    const std::pair<const char*, store::GroupKind> kinds[] = {
        {"设为分开", store::GroupKind::Apart}, {"设为同班", store::GroupKind::Together}};
    for (const auto& [caption, kind] : kinds) {
        QAction* action = menu.addAction(QString::fromUtf8(caption));
        action->setEnabled(chosen.size() >= 2);
        connect(action, &QAction::triggered, this, [this, kind = kind] {
            sidePanel_->setCurrentWidget(groupPanel_);
            groupPanel_->addChosenGroup(kind);
        });
    }
}

// The classes of this project changed elsewhere, or by a move made here: the tree and the rows
// show them, but a row being edited is left alone until its edit ends.
void StudentListWindow::followClassChange(const ClassChange& change) {
    if (change.fbTable != project_.fbTable || change.shownBy == this) {
        return;
    }
    if (model_->isEditing()) {
        showClassesWhenPosted_ = true;
        return;
    }
    showClassesNow();
}

void StudentListWindow::showClassesNow() {
    showClassesWhenPosted_ = false;
    const QTreeWidgetItem* node = classTree_->currentItem();
    const bool rootChosen = node && !node->parent();
    const QVariant chosenClass = node && node->parent() ? node->data(0, kClassRole) : QVariant();
    fillClassTree();
    QTreeWidgetItem* root = classTree_->topLevelItem(0);
    if (rootChosen) {
        classTree_->setCurrentItem(root);
    }
    for (int i = 0; chosenClass.isValid() && i < root->childCount(); ++i) {
        if (root->child(i)->data(0, kClassRole) == chosenClass) {
            classTree_->setCurrentItem(root->child(i));
        }
    }

    const QModelIndex current = grid_->currentIndex();
    const auto student = current.isValid() ? model_->storedStudentId(current.row()) : std::nullopt;
    const int scrolled = grid_->verticalScrollBar()->value();
    refresh();
    grid_->verticalScrollBar()->setValue(scrolled);
    for (int row = 0; student && row < model_->rowCount(); ++row) {
        if (model_->storedStudentId(row) == student) {
            grid_->setCurrentIndex(model_->index(row, std::max(0, current.column())));
            break;
        }
    }
}

void StudentListWindow::announceEdit() {
    workspace_.classChanges().announce({.fbTable = project_.fbTable, .shownBy = this});
}

QWidget* StudentListWindow::buildQueryBoxes() {
    auto* boxes = new QWidget(this);
    // Four short rows rather than one long one, so that 查询, the record buttons and the panel
    // beside the list all stay within reach on a small screen.
    auto* firstRow = new QHBoxLayout;
    auto* secondRow = new QHBoxLayout;
    auto* classRow = new QHBoxLayout;
    auto* recordRow = new QHBoxLayout;
    auto* layout = new QVBoxLayout(boxes);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(firstRow);
    layout->addLayout(secondRow);
    layout->addLayout(classRow);
    layout->addLayout(recordRow);
    auto label = [&](QHBoxLayout& row, const QString& text) {
        row.addWidget(new QLabel(text, boxes));
    };
    constexpr int kLeastBoxWidth = 30;  // a score or part of a name still fits
    auto box = [&](QHBoxLayout& row, const QString& name, int width) {
        auto* edit = new QLineEdit(boxes);
        edit->setObjectName(name);
        edit->setMinimumWidth(kLeastBoxWidth);
        edit->setMaximumWidth(width);
        row.addWidget(edit);
        return edit;
    };
    constexpr int kTextBoxWidth = 110;
    constexpr int kScoreBoxWidth = 70;

    // First row: student number, name, sex and the query.
    label(*firstRow, QStringLiteral("考号    "));
    numberEdit_ = box(*firstRow, QStringLiteral("ed_no"), kTextBoxWidth);
    label(*firstRow, QStringLiteral("姓名    "));
    nameEdit_ = box(*firstRow, QStringLiteral("ed_name"), kTextBoxWidth);
    sexBox_ = new QComboBox(boxes);
    sexBox_->setObjectName(QStringLiteral("cbSex"));
    sexBox_->addItems({QStringLiteral("全部"), QStringLiteral("男"), QStringLiteral("女")});
    firstRow->addWidget(sexBox_);
    queryButton_ = new QPushButton(QStringLiteral("查询"), boxes);
    queryButton_->setObjectName(QStringLiteral("BitBtn1"));
    queryButton_->setDefault(true);
    firstRow->addWidget(queryButton_);
    firstRow->addStretch(1);

    // Second row: the three score ranges, close together (their captions end in blanks).
    secondRow->setSpacing(3);
    const QString andText = QStringLiteral("至");
    const auto range = [&](const QString& caption, const QString& from, const QString& to) {
        label(*secondRow, caption);
        QLineEdit* low = box(*secondRow, from, kScoreBoxWidth);
        label(*secondRow, andText);
        QLineEdit* high = box(*secondRow, to, kScoreBoxWidth);
        return std::pair{low, high};
    };
    std::tie(mathFromEdit_, mathToEdit_) =
        range(QStringLiteral("数学    "), QStringLiteral("edMath1"), QStringLiteral("edMath2"));
    std::tie(englishFromEdit_, englishToEdit_) =
        range(QStringLiteral("英语    "), QStringLiteral("edSx1"), QStringLiteral("edSx2"));
    std::tie(chineseFromEdit_, chineseToEdit_) =
        range(QStringLiteral("语文     "), QStringLiteral("edYw1"), QStringLiteral("edYw2"));
    secondRow->addStretch(1);

    // Then the tree's class as a condition, and the moves by hand.
    useClassBox_ = new QCheckBox(QStringLiteral("使用左边的班级条件"), boxes);
    useClassBox_->setObjectName(QStringLiteral("cbClass"));
    classRow->addWidget(useClassBox_);

    moveToButton_ = new QPushButton(QStringLiteral("调到…"), boxes);
    moveToButton_->setObjectName(QStringLiteral("bnMoveTo"));
    moveToButton_->setToolTip(
        QStringLiteral("把选中的学生调到另一个班；也可以把学生拖到左边的班级上"));
    auto* moveToMenu = new QMenu(moveToButton_);
    moveToButton_->setMenu(moveToMenu);
    connect(moveToMenu, &QMenu::aboutToShow, this, [this, moveToMenu] {
        fillMoveToMenu(*moveToMenu, this, workspace_, chosenStudents(),
                       [this] { return mayMoveStudents(); });
    });
    swapButton_ = new QPushButton(QStringLiteral("对调"), boxes);
    swapButton_->setObjectName(QStringLiteral("bnSwap"));
    swapButton_->setToolTip(QStringLiteral("交换选中的两名学生的班级（按住 Ctrl 键点选两名学生）"));
    connect(swapButton_, &QPushButton::clicked, this, [this] {
        swapChosenStudents(this, workspace_, chosenStudents(),
                           [this] { return mayMoveStudents(); });
    });
    classRow->addSpacing(12);
    classRow->addWidget(moveToButton_);
    classRow->addWidget(swapButton_);
    classRow->addStretch(1);

    // Last row: the record buttons, and what a score range with one end only means.
    recordRow->addWidget(navigator_);
    rangeNote_ = new QLabel(boxes);
    rangeNote_->setObjectName(QStringLiteral("lbRangeNote"));
    QPalette red = rangeNote_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    rangeNote_->setPalette(red);
    rangeNote_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    recordRow->addSpacing(12);
    recordRow->addWidget(rangeNote_, 1);
    const QString rangeHint =
        QStringLiteral("分数段要两端都填才作为查询条件；只填一端时，这一科不按分数查询");
    for (QLineEdit* edit : {mathFromEdit_, mathToEdit_, englishFromEdit_, englishToEdit_,
                            chineseFromEdit_, chineseToEdit_}) {
        edit->setToolTip(rangeHint);
        connect(edit, &QLineEdit::textChanged, this, &StudentListWindow::showRangeNote);
    }

    // Enter in any box runs the query, as the window's default button.
    for (QLineEdit* edit : {numberEdit_, nameEdit_, mathFromEdit_, mathToEdit_, englishFromEdit_,
                            englishToEdit_, chineseFromEdit_, chineseToEdit_}) {
        connect(edit, &QLineEdit::returnPressed, this, &StudentListWindow::runQuery);
    }
    connect(queryButton_, &QPushButton::clicked, this, &StudentListWindow::runQuery);
    return boxes;
}

void StudentListWindow::buildGrid() {
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows can be chosen: two for 对调, two or more for a group.
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid_->setDragEnabled(true);
    static_cast<StudentGrid*>(grid_)->dragChosenStudents = [this] {
        dragStudents(*grid_, chosenStudents());
    };
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& place) {
        // A right click on a row that is not chosen chooses it alone.
        const QModelIndex index = grid_->indexAt(place);
        if (!index.isValid()) {
            return;
        }
        if (!grid_->selectionModel()->isRowSelected(index.row(), {})) {
            grid_->setCurrentIndex(index);
        }
        QMenu menu(this);
        fillGridMenu(menu);
        menu.exec(grid_->viewport()->mapToGlobal(place));
    });
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->verticalHeader()->setFixedWidth(14);
    grid_->horizontalHeader()->setHighlightSections(false);
    const QFontMetrics metrics = grid_->fontMetrics();
    for (int c = 0; c < StudentListModel::kColumnCount; ++c) {
        const auto& column = reports::kListColumns[static_cast<std::size_t>(c)];
        const int characters = column.width * metrics.averageCharWidth() + 10;
        const int heading = metrics.horizontalAdvance(
                                model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()) +
                            14;
        grid_->setColumnWidth(
            c, column.width == 0 ? kDefaultColumnWidth : std::max(characters, heading));
    }
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { currentRowChanged(current.row()); });
}

void StudentListWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        // Once the frame has given the window its width.
        QTimer::singleShot(0, this, &StudentListWindow::shareWidth);
        fillClassTree();
        if (project_.isOpen()) {
            showAll();
        }
    }
}

// A row with changes is stored before the window goes; when it cannot be, the user decides.
void StudentListWindow::closeEvent(QCloseEvent* event) {
    if (model_->isEditing() && !postEdit()) {
        if (!confirm(this, QStringLiteral("这一行的修改没有保存。放弃修改并关闭窗口吗？"))) {
            event->ignore();
            return;
        }
        model_->cancelEdit();
    }
    QWidget::closeEvent(event);
}

void StudentListWindow::fillClassTree() {
    classTree_->clear();
    auto* root = new QTreeWidgetItem(classTree_, {QStringLiteral("所有班级")});
    root->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    if (!project_.isOpen()) {
        return;
    }
    runGuarded(this, [&] {
        for (const auto& entry : reports::listClasses(workspace_.connection(), project_.fbTable)) {
            auto* node = new QTreeWidgetItem(root, {QString::fromStdString(entry.name)});
            node->setData(0, kClassRole, entry.classId);
            node->setIcon(0, style()->standardIcon(QStyle::SP_FileIcon));
        }
    });
    root->setExpanded(true);
}

void StudentListWindow::showChosenClass(QTreeWidgetItem* item) {
    if (!item) {
        return;
    }
    if (item->parent()) {
        const int classId = item->data(0, kClassRole).toInt();
        showClass(classId);
        figuresPanel_->showClasses({classId}, item->text(0));
    } else {
        showAll();
        figuresPanel_->showClasses({}, item->text(0));
    }
}

void StudentListWindow::showAll() {
    run([table = project_.fbTable](db::Connection& connection) {
        return reports::allStudents(connection, table);
    });
}

void StudentListWindow::showClass(int classId) {
    run([table = project_.fbTable, classId](db::Connection& connection) {
        return reports::studentsOfClass(connection, table, classId);
    });
}

void StudentListWindow::runQuery() {
    reports::StudentQuery query;
    query.studentNumber = boxText(numberEdit_);
    query.namePart = boxText(nameEdit_);
    const int sex = sexBox_->currentIndex();
    query.sex = sex == 1   ? reports::SexFilter::Boys
                : sex == 2 ? reports::SexFilter::Girls
                           : reports::SexFilter::All;
    if (useClassBox_->isChecked()) {
        const QTreeWidgetItem* node = classTree_->currentItem();
        if (!node) {
            inform(this, QStringLiteral("请先在左边的班级树中点选一个班级，"
                                        "或去掉“使用左边的班级条件”"));
            return;
        }
        if (node->parent()) {
            query.classId = node->data(0, kClassRole).toInt();
        }
    }
    query.math = {boxText(mathFromEdit_), boxText(mathToEdit_)};
    query.english = {boxText(englishFromEdit_), boxText(englishToEdit_)};
    query.chinese = {boxText(chineseFromEdit_), boxText(chineseToEdit_)};
    const bool found = run([table = project_.fbTable, query](db::Connection& connection) {
        return reports::findStudents(connection, table, query);
    });
    // An empty grid alone reads as a list that failed to load.
    if (found && model_->rowCount() == 0) {
        inform(this, QStringLiteral("没有找到符合条件的学生"));
    }
}

// Names the score ranges with one end only: the query leaves them out.
void StudentListWindow::showRangeNote() {
    const std::tuple<const char*, QLineEdit*, QLineEdit*> ranges[] = {
        {"数学", mathFromEdit_, mathToEdit_},
        {"英语", englishFromEdit_, englishToEdit_},
        {"语文", chineseFromEdit_, chineseToEdit_}};
    QStringList halves;
    for (const auto& [subject, from, to] : ranges) {
        if (from->text().trimmed().isEmpty() != to->text().trimmed().isEmpty()) {
            halves << QString::fromUtf8(subject);
        }
    }
    rangeNote_->setText(
        halves.isEmpty()
            ? QString()
            : QStringLiteral("%1分数段只填了一端，不作为查询条件（两端都填才按分数查询）")
                  .arg(halves.join(QStringLiteral("、"))));
}

bool StudentListWindow::run(Statement statement) {
    if (!project_.isOpen()) {
        return false;
    }
    if (model_->isEditing() && !postEdit()) {
        return false;
    }
    lastStatement_ = statement;
    model_->clearRows();
    const bool ran = runGuarded(this, [&] { model_->load(statement(workspace_.connection())); });
    if (model_->rowCount() > 0) {
        grid_->setCurrentIndex(model_->index(0, 0));
    }
    return ran;
}

void StudentListWindow::refresh() {
    if (lastStatement_) {
        run(lastStatement_);
    }
}

bool StudentListWindow::postEdit() {
    // A cell still being typed into belongs to the row as well.
    endCellEdit(grid_, true);
    if (!model_->isEditing()) {
        return true;
    }
    const int row = model_->editedRow();
    const reports::StudentFields fields = model_->editedFields();
    const bool stored = runGuarded(this, [&] {
        if (model_->isInserting()) {
            reports::insertStudent(workspace_.connection(), project_.fbTable, fields);
        } else if (!fields.empty()) {
            reports::updateStudent(workspace_.connection(), project_.fbTable,
                                   *model_->storedStudentId(row), fields);
        }
    });
    if (stored) {
        model_->commitEdit();
        announceEdit();
    }
    return stored;
}

void StudentListWindow::cancelEdit() {
    endCellEdit(grid_, false);
    model_->cancelEdit();
}

void StudentListWindow::deleteCurrent() {
    const int row = grid_->currentIndex().row();
    if (row < 0) {
        return;
    }
    if (model_->isInserting() && model_->editedRow() == row) {
        model_->cancelEdit();
        return;
    }
    const auto studentId = model_->storedStudentId(row);
    if (!studentId) {
        return;
    }
    const QString name = model_->text(row, StudentListModel::columnOf("student_name"));
    if (!confirm(this, QStringLiteral("删除学号为 %1 的学生 %2 吗？").arg(*studentId).arg(name))) {
        return;
    }
    if (runGuarded(this, [&] {
            reports::deleteStudent(workspace_.connection(), project_.fbTable, *studentId);
        })) {
        model_->removeRecord(row);
        announceEdit();
    }
}

void StudentListWindow::insertRow() {
    if (!project_.isOpen() || (model_->isEditing() && !postEdit())) {
        return;
    }
    const int row = grid_->currentIndex().row() + 1;
    if (model_->insertBlankRow(row)) {
        const QModelIndex first = model_->index(row, 0);
        grid_->setCurrentIndex(first);
        grid_->edit(first);
    }
}

void StudentListWindow::navigate(RecordNavigator::Button which) {
    const int last = model_->rowCount() - 1;
    const int row = grid_->currentIndex().row();
    switch (which) {
        case RecordNavigator::First:
            moveTo(0);
            break;
        case RecordNavigator::Prior:
            moveTo(row - 1);
            break;
        case RecordNavigator::Next:
            moveTo(row + 1);
            break;
        case RecordNavigator::Last:
            moveTo(last);
            break;
        case RecordNavigator::Insert:
            insertRow();
            break;
        case RecordNavigator::Delete:
            deleteCurrent();
            break;
        case RecordNavigator::Edit:
            if (grid_->currentIndex().isValid()) {
                grid_->edit(grid_->currentIndex());
            }
            break;
        case RecordNavigator::Post:
            postEdit();
            break;
        case RecordNavigator::Cancel:
            cancelEdit();
            break;
        case RecordNavigator::Refresh:
            refresh();
            break;
        case RecordNavigator::Count:
            break;
    }
}

void StudentListWindow::moveTo(int row) {
    if (row < 0 || row >= model_->rowCount()) {
        return;
    }
    const int column = std::max(0, grid_->currentIndex().column());
    grid_->setCurrentIndex(model_->index(row, column));
}

// Leaving a row with changes posts them; when they are refused, the grid goes back to that row.
void StudentListWindow::currentRowChanged(int row) {
    if (!model_->isEditing() || model_->editedRow() == row) {
        return;
    }
    if (!postEdit()) {
        const int edited = model_->editedRow();
        QTimer::singleShot(0, this, [this, edited] {
            if (model_->isEditing() && model_->editedRow() == edited) {
                moveTo(edited);
            }
        });
    }
}

}  // namespace qm::gui
