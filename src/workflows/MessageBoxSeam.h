#pragma once

#include <QString>

namespace quorrel {

// The seam between the workflows and a modal message box; tests pre-answer it.
class MessageBoxSeam {
public:
    enum class Buttons { Ok, OkCancel };
    enum class Icon { None, Critical };

    virtual ~MessageBoxSeam() = default;
    // Blocks until the user closes the box; which button closed it does not matter to the tool.
    virtual void show(const QString& text, const QString& title, Buttons buttons, Icon icon) = 0;
};

} // namespace quorrel
