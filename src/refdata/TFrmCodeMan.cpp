#include "TFrmCodeMan.h"

#include "app/AppConst.h"
#include "app/TdmData.h"
#include "platform/ToolIcons.h"
#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "platform/Messages.h"
#include "platform/Modal.h"

#include <QAbstractItemDelegate>
#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TFrmCodeMan::TFrmCodeMan(QWidget *parent)
    : QDialog(parent), m_table(new DataSet(this)), m_editor(m_table)
{
    setObjectName(QStringLiteral("TFrmCodeMan"));
    setWindowTitle(QStringLiteral("选项设置..."));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(620, 540);
    m_table->setObjectName(QStringLiteral("QryTable"));

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setIconSize(QSize(24, 24));
    m_toolBar->setMovable(false);
    auto addTool = [this](const QString &name, const QString &text, const QIcon &icon, const QKeySequence &key,
                          void (TFrmCodeMan::*slot)()) {
        auto *a = new QAction(icon, text, this);
        a->setObjectName(QStringLiteral("act") + name.mid(2));
        if (!key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WindowShortcut);
            addAction(a);
        }
        connect(a, &QAction::triggered, this, slot);
        m_toolBar->addAction(a);
        if (QWidget *w = m_toolBar->widgetForAction(a))
            w->setObjectName(name);
        return a;
    };
    QStyle *st = style();
    m_actNew = addTool(QStringLiteral("tbNew"), QStringLiteral("新增"), st->standardIcon(QStyle::SP_FileIcon),
                       QKeySequence(Qt::CTRL | Qt::Key_A), &TFrmCodeMan::tbNewClick);
    m_actEdit = addTool(QStringLiteral("tbEdit"), QStringLiteral("修改"), st->standardIcon(QStyle::SP_FileDialogDetailedView),
                        QKeySequence(Qt::CTRL | Qt::Key_E), &TFrmCodeMan::tbEditClick);
    m_actDel = addTool(QStringLiteral("tbDel"), QStringLiteral("删除"), st->standardIcon(QStyle::SP_TrashIcon),
                       QKeySequence(Qt::Key_Delete), &TFrmCodeMan::tbDelClick);
    m_toolBar->addSeparator();
    m_actSave = addTool(QStringLiteral("tbSave"), QStringLiteral("保存"), st->standardIcon(QStyle::SP_DialogSaveButton),
                        QKeySequence(Qt::CTRL | Qt::Key_S), &TFrmCodeMan::tbSaveClick);
    m_actCancel = addTool(QStringLiteral("tbCancel"), QStringLiteral("取消"), st->standardIcon(QStyle::SP_DialogCancelButton), {},
                          &TFrmCodeMan::tbCancelClick);
    m_toolBar->addSeparator();
    m_actPrint = addTool(QStringLiteral("tbPrint"), QStringLiteral("打印"), ToolIcons::print(), {}, &TFrmCodeMan::tbPrintClick);
    m_actRefresh = addTool(QStringLiteral("tbRefresh"), QStringLiteral("刷新"), st->standardIcon(QStyle::SP_BrowserReload), {},
                           &TFrmCodeMan::tbRefreshClick);
    m_toolBar->addSeparator();
    m_actExit = addTool(QStringLiteral("tbExit"), QStringLiteral("退出"), st->standardIcon(QStyle::SP_DialogCloseButton), {},
                        &TFrmCodeMan::tbExitClick);

    // The pages are buttons in rows above the one grid they share.
    m_pages = new QWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    auto *pageLayout = new QGridLayout(m_pages);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(2);
    m_pageButtons = new QButtonGroup(this);
    m_pageButtons->setExclusive(true);
    const auto &pages = CodeListPages();
    constexpr int kPerRow = 6;
    for (int i = 0; i < pages.size(); ++i) {
        auto *b = new QToolButton(m_pages);
        b->setObjectName(pages[i].page);
        b->setText(pages[i].caption);
        b->setCheckable(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setFocusPolicy(Qt::TabFocus);
        m_pageButtons->addButton(b, i);
        pageLayout->addWidget(b, i / kPerRow, i % kPerRow);
    }
    connect(m_pageButtons, &QButtonGroup::idClicked, this, &TFrmCodeMan::setCurrentPage);

    m_grid = new DataGrid(this);
    m_grid->setObjectName(QStringLiteral("DBGridEh1"));
    m_grid->setDataSet(m_table);

    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        auto *l = new QLabel(m_status);
        l->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        l->setMinimumWidth(120);
        if (i < 2)
            m_status->addWidget(l, i == 0 ? 1 : 0);
        else
            m_status->addPermanentWidget(l);
        m_panels.append(l);
    }
    m_panels[2]->setText(VendorCaption() + QStringLiteral("  "));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 0);
    layout->setSpacing(4);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_pages);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_status);

    setEditState(false);
    setCurrentPage(0);
}

QString TFrmCodeMan::columnTitle() const { return CodeListPages().value(m_page).caption.trimmed(); }

void TFrmCodeMan::setCurrentPage(int index)
{
    const auto &pages = CodeListPages();
    if (index < 0 || index >= pages.size() || isEditing()) {
        if (QAbstractButton *b = m_pageButtons->button(m_page))
            b->setChecked(true);
        return;
    }
    m_page = index;
    if (QAbstractButton *b = m_pageButtons->button(index))
        b->setChecked(true);
    m_grid->setColumns({DataGridColumn(QStringLiteral("F_Name"), columnTitle(), 360)});
    m_editor.open(pages[index].type);
    m_grid->setReadOnly(true);
}

void TFrmCodeMan::setEditState(bool editing)
{
    for (QAction *a : {m_actNew, m_actEdit, m_actDel, m_actExit, m_actRefresh, m_actPrint})
        a->setEnabled(!editing);
    m_actSave->setEnabled(editing);
    m_actCancel->setEnabled(editing);
    m_pages->setEnabled(!editing);
    m_grid->setReadOnly(!editing);
}

void TFrmCodeMan::postGridEditor()
{
    // the grid's cell editor, while one is open
    for (QLineEdit *e : m_grid->viewport()->findChildren<QLineEdit *>(QStringLiteral("DataGridEditor"))) {
        if (!e->isVisible())
            continue;
        emit m_grid->itemDelegate()->commitData(e);
        emit m_grid->itemDelegate()->closeEditor(e, QAbstractItemDelegate::NoHint);
    }
}

void TFrmCodeMan::tbNewClick()
{
    if (!m_actNew->isEnabled() || !m_editor.beginInsert())
        return;
    setEditState(true);
    m_grid->setFocus();
    m_grid->setCurrentIndex(m_grid->model()->index(m_table->currentRow(), 0));
}

void TFrmCodeMan::tbEditClick()
{
    if (!m_actEdit->isEnabled())
        return;
    const QString problem = m_editor.beginEdit();
    if (!problem.isEmpty()) {
        ShowMess(problem, MessError);
        return;
    }
    setEditState(true);
    m_grid->setFocus();
}

void TFrmCodeMan::tbSaveClick()
{
    if (!m_actSave->isEnabled())
        return;
    postGridEditor();
    const CodeListEditor::SaveResult r = m_editor.save();
    switch (r.status) {
    case CodeListEditor::SaveResult::Saved:
        setEditState(false);
        break;
    case CodeListEditor::SaveResult::Refused:
        ShowMess(r.message, MessWarning);
        if (r.row >= 0)
            m_table->setCurrentRow(r.row);
        m_grid->setFocus();
        break;
    case CodeListEditor::SaveResult::Failed:
        qWarning("code list save failed: %s", qPrintable(r.message));
        ShowMess(Msg::SaveFailedFor(r.message), MessError);
        break;
    }
}

void TFrmCodeMan::tbCancelClick()
{
    if (!m_actCancel->isEnabled())
        return;
    m_editor.cancel();
    setEditState(false);
}

void TFrmCodeMan::tbDelClick()
{
    if (!m_actDel->isEnabled())
        return;
    if (m_table->isEmpty()) {
        ShowMess(QStringLiteral("此表是空表，不需要删除！"), MessInfo);
        return;
    }
    if (ShowMess(m_editor.deleteQuestion(CodeListPages().value(m_page).caption), MessDestructive) == 2)
        return;
    QString error;
    if (!m_editor.deleteCurrent(&error)) {
        qWarning("code list delete failed: %s", qPrintable(error));
        ShowMess(Msg::DeleteFailedFor(error), MessError);
    }
}

void TFrmCodeMan::tbPrintClick()
{
    if (m_actPrint->isEnabled() && dmData)
        dmData->PrintGrid(m_grid, m_grid->column(0).title + QStringLiteral("设置"), 1, QStringLiteral("date"));
}

void TFrmCodeMan::tbRefreshClick()
{
    if (m_actRefresh->isEnabled())
        m_editor.refresh();
}

void TFrmCodeMan::tbExitClick()
{
    if (m_actExit->isEnabled())
        QDialog::reject();
}

void TFrmCodeMan::reject()
{
    // Esc: 取消 while editing, 退出 otherwise
    if (isEditing())
        tbCancelClick();
    else
        QDialog::reject();
}

void TFrmCodeMan::closeEvent(QCloseEvent *event)
{
    // the window closes only in the browse state; pending edits are not lost
    if (isEditing()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TFrmCodeMan::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    // centred on the main window
    if (QWidget *main = Messages::mainWindow()) {
        const QRect g = main->frameGeometry();
        move(g.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
}

void ShowCodeManager(QWidget *parent)
{
    TFrmCodeMan window(parent);
    execModal(&window);
}
