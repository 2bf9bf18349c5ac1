#pragma once

#include <QPointer>
#include <QWidget>

#include <array>

class ClickArea;
class Form2;
class FindBar;
class Form3;
class Platform;
class QComboBox;
class QLabel;
class QShortcut;
class QTimer;
class StatusBar;
class WebBrowser;

// The main window: the picture band with its click areas, the address box, the
// engine and the status bar. Every behaviour is a handler named after the
// control and the event it answers.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    // Takes ownership of the engine control; the platform must outlive the window.
    Form1(WebBrowser *engine, Platform &platform, QWidget *parent = nullptr);
    ~Form1() override;

    WebBrowser *brwWebBrowser = nullptr;
    QComboBox *cboAddress = nullptr;
    StatusBar *StatusBar1 = nullptr;
    QTimer *timTimer = nullptr;
    QTimer *Timer1 = nullptr;

    ClickArea *area(const char *name) const;

    void Form_Load();
    void Form_Resize();

    void cboAddress_KeyPress(int &keyAscii);
    void cboAddress_Click();
    void brwWebBrowser_DownloadComplete();

    void timTimer_Timer();

    void Label1_Click();
    void Label2_Click();
    void Label3_Click();
    void Label4_Click();
    void Label5_Click();
    void Label6_Click();
    void Image2_Click();
    void Image3_Click();
    void Image4_Click();
    void Image5_Click();
    void Image6_Click();
    void Image7_Click();
    void Image1_MouseMove();
    void Image2_MouseMove();
    void Image3_MouseMove();
    void Image4_MouseMove();
    void Image5_MouseMove();
    void Image6_MouseMove();
    void Image7_MouseMove();

    void Label7_Click();
    void Label8_Click();
    void Label10_Click();
    void Label11_Click();
    void Label13_Click();
    void Label14_Click();
    void Label15_Click();
    void Label16_Click();
    void Timer1_Timer();

    // Ctrl+L, F6, Alt+D: the address box takes the focus with its text selected.
    void focusAddressBox();
    FindBar *findBar() const { return m_findBar; }

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void buildBand();
    void wireBand();
    void bindCommands();
    void dockStatusBar();
    void reportRefusedAddress(const QString &text);

    Platform &m_platform;
    std::array<ClickArea *, 23> m_areas{};
    QLabel *m_addressMessage = nullptr;
    QTimer *m_addressMessageTimer = nullptr;
    QShortcut *m_stopKey = nullptr;
    FindBar *m_findBar = nullptr;
    // The About and time windows, each made on first use; null again once closed.
    QPointer<Form2> m_form2;
    QPointer<Form3> m_form3;
};
