#pragma once

#include <QString>

namespace quorrel {

// The seam between the tool and the desktop's web browser; tests replace it, so none opens.
class BrowserSeam {
public:
    virtual ~BrowserSeam() = default;
    // Shows the local file; false when the desktop has no browser for it.
    virtual bool show(const QString& file) = 0;
};

// The desktop's own browser behind the seam.
class DesktopBrowser : public BrowserSeam {
public:
    bool show(const QString& file) override;
};

} // namespace quorrel
