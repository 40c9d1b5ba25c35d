#pragma once
// The narrow interface through which the run logic reaches whatever shows a
// run: the main window, the command-line front end, or a test. All texts are
// UTF-8.

#include <string>
#include <vector>

#include "query/text_lines.h"

namespace torvane::run {

// The report of one run: an ordered list of lines.
class IReport {
  public:
    virtual ~IReport() = default;
    virtual void Clear() = 0;
    virtual void Append(const std::string& line) = 0;
    // Precondition: index <= Count().
    virtual void Insert(int index, const std::string& line) = 0;
    // The same as Append or Insert of each line in turn, in one step: the
    // lines are taken over, and the cost is linear in the lines moved and
    // inserted. Precondition: index <= Count().
    virtual void AppendLines(query::TLines lines) = 0;
    virtual void InsertLines(int index, query::TLines lines) = 0;
    // Removes lines [index, index + count) in one step. Precondition:
    // 0 <= index, 0 <= count, index + count <= Count().
    virtual void RemoveLines(int index, int count) = 0;
    virtual int Count() const = 0;
    // No repainting between the two; they are not counted: one EndUpdate
    // resumes after any number of BeginUpdate, and an EndUpdate without a
    // BeginUpdate does nothing.
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    // Caret and view back to the first line, rows refitted to the view.
    virtual void ScrollToTop() = 0;
};

class IRunWindow {
  public:
    virtual ~IRunWindow() = default;

    // The typed line, exactly as it stands in the query box.
    virtual std::string QueryText() const = 0;
    // The auto-correct check box.
    virtual bool AutoCorrect() const = 0;
    // The manual server check box and the text of the manual server box.
    virtual bool ManualServer() const = 0;
    virtual std::string ManualHost() const = 0;
    // The "IANA・RDAPで補完" check box: today's registries beyond the classic
    // directory (IANA for top-level domains without a row, RDAP, IPv6
    // addresses, AS numbers). Off, a run is the classic run.
    virtual bool Fallback() const = 0;
    // Gives the query box the input focus.
    virtual void FocusQuery() = 0;

    virtual IReport& Report() = 0;
    // The status bar's single text.
    virtual void SetStatus(const std::string& text) = 0;
    // The window caption and the application's title.
    virtual void SetCaption(const std::string& text) = 0;
    // Running: run button disabled, cancel enabled, busy pointer. Idle: the
    // reverse.
    virtual void SetRunning(bool running) = 0;
    // The query history, most recent first; the first item is selected.
    virtual void ShowHistory(const std::vector<std::string>& items) = 0;
    // Called at the end of every run (after the legs' own finishing steps);
    // the window closes itself here when it was started with arguments.
    virtual void RunFinished() = 0;
};

}  // namespace torvane::run
