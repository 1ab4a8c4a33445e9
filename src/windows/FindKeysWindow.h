#pragma once

#include "card/CardType.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>

class CardGridModel;
class CardReader;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;
class ReadAllRun;
class UserDialogs;
struct KeySearchResult;

// Tools > "Find Keys..." (objectName "FindKeysWindow"): tries the keys of the chosen key
// files (the shipped dictionary preselected) as key A, B or both on all sectors or a
// range, one halt + select + authenticate per attempt through the reader, with a
// progress dialog that can cancel between attempts. The result table shows per sector
// the key found or "not found"; the found keys can then go into the trailers' key
// fields of the grid, and into a Read All that authenticates each sector with its own.
class FindKeysWindow : public QDialog
{
    Q_OBJECT

public:
    struct Context {
        CardReader *reader = nullptr;
        UserDialogs *dialogs = nullptr;
        ReadAllRun *readAll = nullptr;
        std::function<CardType()> cardType;
        std::function<CardGridModel &(CardType)> grid;
        std::function<void()> runReadAll; // the Read All menu item
    };

    explicit FindKeysWindow(Context context, QWidget *parent = nullptr);
    ~FindKeysWindow() override;

public: // the controls, for the menu and for tests
    // Adds a key file to the list, checked.
    void addKeyFile(const QString &path);
    // 0 key A, 1 key B, 2 both.
    void setKeyTypes(int choice);
    // Sectors first..last; -1, -1 for all.
    void setSectorRange(int first, int last);
    void setDefaultKeysUsed(bool on);
    // Test seam: the search is cancelled before attempt number n (from 1); 0 never.
    void setCancelBeforeAttempt(int n) { m_cancelBefore = n; }

    // Runs the search; false when it could not start (no keys, no sectors).
    bool search();
    // The result as the command line prints it; empty before a search.
    [[nodiscard]] QString resultText() const;
    [[nodiscard]] int attempts() const;
    [[nodiscard]] bool cancelled() const;
    // Writes the found keys into the trailers' key fields of the grid; how many.
    int fillTrailers();
    // Starts Read All with the found keys (A where found, else B).
    void readAllWithFoundKeys();

private:
    void addKeyFileAsked();
    void showResult();

    Context m_context;
    std::unique_ptr<KeySearchResult> m_result;
    int m_cancelBefore = 0;
    QListWidget *m_files = nullptr;
    QComboBox *m_types = nullptr;
    QCheckBox *m_allSectors = nullptr;
    QSpinBox *m_first = nullptr;
    QSpinBox *m_last = nullptr;
    QLabel *m_summary = nullptr;
    QTableWidget *m_table = nullptr;
    QPushButton *m_fill = nullptr;
    QPushButton *m_readAll = nullptr;
};
