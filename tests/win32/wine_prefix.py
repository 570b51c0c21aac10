#!/usr/bin/env python3
"""Makes the fresh Wine prefix that the Wine tests of one run share."""
import sys

import wine_harness

if __name__ == "__main__":
    wine_harness.skip_unless_ready(need_prefix=False)
    wine_harness.prepare(wine_harness.work_dir() / "prefix")
    print(f"Wine prefix ready in {wine_harness.work_dir() / 'prefix'}")
    sys.exit(0)
