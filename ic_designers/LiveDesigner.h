// The frame of the controller-specific designers: number fields bound to edit
// controls and the whole computation, run live on every edit of an input or by
// a button: read, range checks, the designer's pure computation, and the
// results written without touching the inputs (a result that is not finite is
// blanked). A live designer never shows a message box while the user types:
// its messages go to a status text. The core pick reads the fields first and
// takes the returned Ae only when it is a number above 0.
#pragma once

#include "platform/ui/Dialog.h"
#include "services/CorePick.h"
#include "services/InputRange.h"

#include <string>
#include <vector>

namespace kv::ic {

// "%.7g" with a trailing decimal point removed.
std::string sevenDigits(double v);

class LiveDesigner : public ui::Dialog, public services::CoreOpener {
public:
    struct Protocol {
        int button = 0;                     // computation button; 0: none
        bool live = false;                  // every edit of an input to a non-empty text recomputes
        const char* unreadable = "";        // a field is not a number: the message box of a button
        const char* unreadableStatus = nullptr; // ... and the status text of a live designer (default: the same)
        int status = 0;                     // static that shows a live designer's messages
        int culprit = 0;                    // input named when a button's results are not finite
        bool calculatingBox = false;        // the calculating box before a button's computation
        bool sevenDigits = false;           // results with 7 significant digits (else the number format)
    };
    // What the last computation showed.
    enum class Shown { All, Partly, None };

    void onInitDialog() override;
    bool onCommand(int id, ui::Notify code) override;
    // Enter runs the computation button when it is OK, and never closes the window.
    void onOk() override;
    // Modeless: "返回(&B)", Esc and the close box destroy the window.
    void onCancel() override { close(); }
    // The core database hands back through temp.txt only.
    void takeCore(float, float) override {}
    void setCoreName(const std::string&) override {}

    // The whole computation: what an edit, the button and a core pick run.
    void recompute();
    Shown lastShown() const { return shown_; }
    const std::string& status() const { return status_; }

protected:
    LiveDesigner(int templateId, ui::Dialog* parent, Protocol p);

    void bindInput(int edit, float& v, services::Range r = services::Range::Any);
    void bindResult(int edit, float& v);
    // The core pick button, the edit of Ae and its value; mode '*' or '2'.
    void setCorePick(int button, int aeEdit, float& ae, char mode = '*');

    // ---- the designer's part -------------------------------------------------
    // First exchange, after the inputs went to their controls: by default a
    // live designer computes.
    virtual void setUp();
    // The results from the inputs. A text stops: results blank, the text shown.
    virtual std::string compute() = 0;
    // After each computation.
    virtual void shown(Shown) {}
    // An input's text changed to a non-empty text (live designers).
    virtual void edited(int /*id*/) { recompute(); }
    virtual bool onDesignerCommand(int /*id*/, ui::Notify /*code*/) { return false; }
    // Before a core pick reads the fields: a button designer blanks its results.
    virtual void beforePick();

    // ---- steps ---------------------------------------------------------------
    // Every enabled input into its value; false at the first that is not a number.
    // A disabled input is not used: it keeps its value and shows blank.
    bool readInputs();
    void writeInputs();
    void blankResults();
    // A message: the status of a live designer, else a message box.
    void report(const std::string& text);
    void setStatus(std::string text);
    // The current text of the label before edit `id` in the template.
    std::string labelOf(int id) const;
    bool isInput(int id) const;

private:
    struct Field {
        int edit;
        float* value;
        bool result;
        services::Range range;
    };
    // The message naming the first input outside its range; empty when none is.
    std::string rangeProblem() const;
    // False when a result is not finite (that one is blanked).
    bool writeResults();
    void pickCore();

    Protocol p_;
    std::vector<Field> fields_;
    int coreButton_ = 0, coreEdit_ = 0;
    float* coreAe_ = nullptr;
    char coreMode_ = '*';
    Shown shown_ = Shown::None;
    std::string status_;
};

} // namespace kv::ic
