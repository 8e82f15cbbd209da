#pragma once

namespace farlous {

// Makes every AccessKeyLabel known to assistive tools as static text named by its caption as
// drawn (access-key marks removed), so that a screen reader reads each new joke.
void InstallAccessibleLabels();

}  // namespace farlous
