#include "settings/TComponentTranslator.h"

#include "settings/TGettext.h"
#include "tests/settings/TEnvironmentGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

// Classes that the tests exclude from translation, by class or by property.
class TFixedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
};

class TFixedLabelChild : public TFixedLabel {
    Q_OBJECT
public:
    using TFixedLabel::TFixedLabel;
};

class TFixedTextCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;
};

class TGloballyFixedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
};

class TGloballyFixedTextButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;
};

// A widget with a text property of its own, like the title of a plot.
class TCaptioned : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString caption READ Caption WRITE SetCaption)
public:
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption) { caption_ = caption; }

private:
    QString caption_;
};

namespace {

// The test catalogs: es translates the English texts below, en only "Volt's" (to "Volts").
const QString kCatalogs = QStringLiteral(BREVON_TEST_CATALOGS);

// A window written in English with one control of each kind the translation walks.
struct TForm {
    QMainWindow window;
    QObject owner;           // owns an action that lies outside the window
    QMenu* fileMenu = nullptr;
    QAction* open = nullptr;    // in the menu and the toolbar; its tool tip follows its text
    QAction* restore = nullptr; // likewise, owned outside the window, with a tool tip of its own
    QToolBar* toolBar = nullptr;
    QLabel* label = nullptr;
    QPushButton* button = nullptr;
    QGroupBox* group = nullptr;
    QCheckBox* check = nullptr;
    QComboBox* combo = nullptr;
    QLabel* units = nullptr;
    QLabel* valueBox = nullptr; // marked not to translate
    QLabel* value = nullptr;    // not marked; the program writes numbers into it

    TForm()
    {
        window.setWindowTitle(QStringLiteral("Load Memory"));
        fileMenu = window.menuBar()->addMenu(QStringLiteral("&File"));
        open = fileMenu->addAction(QStringLiteral("&Open"));
        restore = new QAction(QStringLiteral("&Restore"), &owner);
        restore->setToolTip(QStringLiteral("Restore Memory"));
        fileMenu->addAction(restore);
        toolBar = window.addToolBar(QStringLiteral("Tools"));
        toolBar->addAction(open);
        toolBar->addAction(restore);

        auto* central = new QWidget;
        window.setCentralWidget(central);
        auto* layout = new QVBoxLayout(central);
        label = new QLabel(QStringLiteral("Loading Memory..."));
        button = new QPushButton(QStringLiteral("Cancel"));
        button->setToolTip(QStringLiteral("Open file"));
        group = new QGroupBox(QStringLiteral("Lower"));
        check = new QCheckBox(QStringLiteral("Active"), group);
        combo = new QComboBox;
        combo->addItems({"Automatic", "Manual", "Unknown item"});
        combo->setCurrentIndex(1);
        units = new QLabel(QStringLiteral("Volt's"));
        valueBox = new QLabel(QStringLiteral("Cancel"));
        TP_Ignore(valueBox);
        value = new QLabel(QStringLiteral("0"));
        for (QWidget* widget : {static_cast<QWidget*>(label), static_cast<QWidget*>(button),
                                static_cast<QWidget*>(group), static_cast<QWidget*>(combo),
                                static_cast<QWidget*>(units), static_cast<QWidget*>(valueBox),
                                static_cast<QWidget*>(value)}) {
            layout->addWidget(widget);
        }
    }

    QString ButtonTip(QAction* action) const
    {
        return toolBar->widgetForAction(action)->toolTip();
    }

    QStringList Items() const
    {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items.append(combo->itemText(i));
        return items;
    }
};

void ExpectSpanish(const TForm& form)
{
    EXPECT_EQ(form.window.windowTitle(), QStringLiteral("Cargar memoria"));
    EXPECT_EQ(form.fileMenu->title(), QStringLiteral("&Archivo"));
    EXPECT_EQ(form.open->text(), QStringLiteral("&Abrir"));
    EXPECT_EQ(form.open->toolTip(), QStringLiteral("Abrir"));
    EXPECT_EQ(form.ButtonTip(form.open), QStringLiteral("Abrir"));
    EXPECT_EQ(form.restore->text(), QStringLiteral("&Restaurar"));
    EXPECT_EQ(form.restore->toolTip(), QStringLiteral("Restaurar memoria"));
    EXPECT_EQ(form.ButtonTip(form.restore), QStringLiteral("Restaurar memoria"));
    EXPECT_EQ(form.label->text(), QStringLiteral("Cargando memoria..."));
    EXPECT_EQ(form.button->text(), QStringLiteral("Cancelar"));
    EXPECT_EQ(form.button->toolTip(), QStringLiteral("Abrir archivo"));
    EXPECT_EQ(form.group->title(), QStringLiteral("Inferior"));
    EXPECT_EQ(form.check->text(), QStringLiteral("Activo"));
    EXPECT_EQ(form.Items(), QStringList({"Automático", "Manual", "Unknown item"}));
    EXPECT_EQ(form.combo->currentIndex(), 1);
    EXPECT_EQ(form.units->text(), QStringLiteral("Voltios"));
    EXPECT_EQ(form.valueBox->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(form.value->text(), QStringLiteral("0"));
}

void ExpectEnglish(const TForm& form, const QString& units)
{
    EXPECT_EQ(form.window.windowTitle(), QStringLiteral("Load Memory"));
    EXPECT_EQ(form.fileMenu->title(), QStringLiteral("&File"));
    EXPECT_EQ(form.open->text(), QStringLiteral("&Open"));
    EXPECT_EQ(form.open->toolTip(), QStringLiteral("Open"));
    EXPECT_EQ(form.ButtonTip(form.open), QStringLiteral("Open"));
    EXPECT_EQ(form.restore->text(), QStringLiteral("&Restore"));
    EXPECT_EQ(form.restore->toolTip(), QStringLiteral("Restore Memory"));
    EXPECT_EQ(form.ButtonTip(form.restore), QStringLiteral("Restore Memory"));
    EXPECT_EQ(form.label->text(), QStringLiteral("Loading Memory..."));
    EXPECT_EQ(form.button->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(form.button->toolTip(), QStringLiteral("Open file"));
    EXPECT_EQ(form.group->title(), QStringLiteral("Lower"));
    EXPECT_EQ(form.check->text(), QStringLiteral("Active"));
    EXPECT_EQ(form.Items(), QStringList({"Automatic", "Manual", "Unknown item"}));
    EXPECT_EQ(form.combo->currentIndex(), 1);
    EXPECT_EQ(form.units->text(), units);
    EXPECT_EQ(form.valueBox->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(form.value->text(), QStringLiteral("0"));
}

class TComponentTranslatorTest : public testing::Test {
protected:
    void SetUp() override
    {
        TEnvironmentGuard::Start({{"LANG", "C.UTF-8"}});
        gettext_ = std::make_unique<TGettext>(kCatalogs);
    }
    void TearDown() override { gettext_.reset(); }

    TEnvironmentGuard environment_;
    std::unique_ptr<TGettext> gettext_;
};

TEST_F(TComponentTranslatorTest, TranslatesAWindowAndAgainFromItsEnglishTexts)
{
    TForm form;
    ExpectEnglish(form, QStringLiteral("Volt's"));

    gettext_->UseLanguage(QStringLiteral("es"));
    TranslateComponent(&form.window);
    {
        SCOPED_TRACE("es");
        ExpectSpanish(form);
    }

    gettext_->UseLanguage(QStringLiteral("en"));
    RetranslateComponent(&form.window);
    {
        SCOPED_TRACE("en");
        ExpectEnglish(form, QStringLiteral("Volts"));
    }

    // From the English "Volt's", not from the "Volts" shown before.
    gettext_->UseLanguage(QStringLiteral("es"));
    RetranslateComponent(&form.window);
    {
        SCOPED_TRACE("es again");
        ExpectSpanish(form);
    }

    // A second pass in the same language changes nothing.
    RetranslateComponent(&form.window);
    {
        SCOPED_TRACE("es twice");
        ExpectSpanish(form);
    }
}

TEST_F(TComponentTranslatorTest, KeepsTextsTheProgramChanged)
{
    TForm form;
    gettext_->UseLanguage(QStringLiteral("es"));
    TranslateComponent(&form.window);

    form.value->setText(QStringLiteral("1200"));
    form.combo->setItemText(2, QStringLiteral("Other"));
    form.open->setToolTip(QStringLiteral("Open file"));
    gettext_->UseLanguage(QStringLiteral("en"));
    RetranslateComponent(&form.window);

    EXPECT_EQ(form.value->text(), QStringLiteral("1200"));
    EXPECT_EQ(form.Items(), QStringList({"Automatic", "Manual", "Other"}));
    EXPECT_EQ(form.open->toolTip(), QStringLiteral("Open file"));

    // Texts set by the program are translated from then on.
    gettext_->UseLanguage(QStringLiteral("es"));
    RetranslateComponent(&form.window);
    EXPECT_EQ(form.open->toolTip(), QStringLiteral("Abrir archivo"));
    EXPECT_EQ(form.open->text(), QStringLiteral("&Abrir"));
}

TEST_F(TComponentTranslatorTest, HonoursTheExclusions)
{
    TComponentTranslator translator;
    translator.IgnoreClass("TFixedLabel");
    translator.IgnoreClassProperty("TFixedTextCheckBox", "text");
    translator.IgnoreClassProperty("QComboBox", "items");
    translator.IgnoreClassProperty("QGroupBox", "toolTip");

    QWidget root;
    auto* fixed = new TFixedLabel(QStringLiteral("Cancel"), &root);
    fixed->setToolTip(QStringLiteral("Open file"));
    auto* fixedChild = new TFixedLabelChild(QStringLiteral("Cancel"), &root);
    auto* marked = new QLabel(QStringLiteral("Cancel"), &root);
    TP_Ignore(marked);
    auto* fixedText = new TFixedTextCheckBox(QStringLiteral("Active"), &root);
    fixedText->setToolTip(QStringLiteral("Cancel"));
    auto* check = new QCheckBox(QStringLiteral("Active"), &root);
    auto* combo = new QComboBox(&root);
    combo->addItem(QStringLiteral("Manual"));
    combo->setToolTip(QStringLiteral("Cancel"));
    auto* group = new QGroupBox(QStringLiteral("Lower"), &root);
    group->setToolTip(QStringLiteral("Cancel"));

    gettext_->UseLanguage(QStringLiteral("es"));
    translator.Translate(&root);

    EXPECT_EQ(fixed->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(fixed->toolTip(), QStringLiteral("Open file"));
    EXPECT_EQ(fixedChild->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(marked->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(fixedText->text(), QStringLiteral("Active"));
    EXPECT_EQ(fixedText->toolTip(), QStringLiteral("Cancelar"));
    EXPECT_EQ(check->text(), QStringLiteral("Activo"));
    EXPECT_EQ(combo->itemText(0), QStringLiteral("Manual"));
    EXPECT_EQ(combo->toolTip(), QStringLiteral("Cancelar"));
    EXPECT_EQ(group->title(), QStringLiteral("Inferior"));
    EXPECT_EQ(group->toolTip(), QStringLiteral("Cancel"));
}

TEST_F(TComponentTranslatorTest, TranslatesFurtherPropertiesOfAClass)
{
    TComponentTranslator translator;
    translator.TranslateClassProperty("TCaptioned", "caption");
    QWidget root;
    auto* captioned = new TCaptioned;
    captioned->setParent(&root);
    captioned->SetCaption(QStringLiteral("Lower"));

    gettext_->UseLanguage(QStringLiteral("es"));
    translator.Translate(&root);
    EXPECT_EQ(captioned->Caption(), QStringLiteral("Inferior"));

    // Not by the translator without the rule.
    gettext_->UseLanguage(QStringLiteral("en"));
    TComponentTranslator().Translate(&root);
    EXPECT_EQ(captioned->Caption(), QStringLiteral("Inferior"));
    translator.Translate(&root);
    EXPECT_EQ(captioned->Caption(), QStringLiteral("Lower"));
}

TEST_F(TComponentTranslatorTest, TheGlobalExclusionsApplyToTranslateComponent)
{
    TP_GlobalIgnoreClass("TGloballyFixedLabel");
    TP_GlobalIgnoreClassProperty("TGloballyFixedTextButton", "text");
    QWidget root;
    auto* fixed = new TGloballyFixedLabel(QStringLiteral("Cancel"), &root);
    auto* button = new TGloballyFixedTextButton(QStringLiteral("Cancel"), &root);
    button->setToolTip(QStringLiteral("Cancel"));
    auto* label = new QLabel(QStringLiteral("Cancel"), &root);

    gettext_->UseLanguage(QStringLiteral("es"));
    TranslateComponent(&root);

    EXPECT_EQ(fixed->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(button->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(button->toolTip(), QStringLiteral("Cancelar"));
    EXPECT_EQ(label->text(), QStringLiteral("Cancelar"));
}

TEST_F(TComponentTranslatorTest, ReachesMenusOwnedOutsideTheWindow)
{
    QMainWindow window;
    QMenu outside(QStringLiteral("&File"));
    QAction* open = outside.addAction(QStringLiteral("&Open"));
    window.menuBar()->addMenu(&outside);

    gettext_->UseLanguage(QStringLiteral("es"));
    TranslateComponent(&window);

    EXPECT_EQ(outside.title(), QStringLiteral("&Archivo"));
    EXPECT_EQ(open->text(), QStringLiteral("&Abrir"));
}

} // namespace

#include "TComponentTranslatorTest.moc"
