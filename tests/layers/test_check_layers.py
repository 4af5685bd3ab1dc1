"""The layer check finds every kind of fault it claims to, in a small tree made for each case.

    python3 -m unittest tests/layers/test_check_layers.py   (CTest: layer_check_faults)

Each case starts from a clean tree (which must pass), adds one fault, and expects the check to
fail with a line that names the file, the include and the rule.
"""
import contextlib
import io
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import check_layers  # noqa: E402

TABLE = """\
# unit        may use
platform
store         platform
workbook      platform
xls           workbook platform
tools/sfs     store platform
tests/store   store platform tools/sfs
"""

CLEAN = {
    "src/platform/CMakeLists.txt": "ss_layer(platform SOURCES File.cpp posix/FilePosix.cpp)\n",
    "src/platform/File.h": "#pragma once\n",
    "src/platform/File.cpp": '#include "platform/File.h"\n',
    "src/platform/posix/FilePosix.cpp": '#include "platform/File.h"\n',
    "src/store/CMakeLists.txt": "ss_layer(store SOURCES engine/Pages.cpp USES platform)\n",
    "src/store/engine/Pages.h": '#pragma once\n#include "platform/File.h"\n',
    "src/store/engine/Pages.cpp": '#include "store/engine/Pages.h"\n',
    "src/workbook/CMakeLists.txt": "ss_layer(workbook SOURCES Book.cpp USES platform)\n",
    "src/workbook/Book.h": "#pragma once\n",
    "src/workbook/Book.cpp": '#include "workbook/Book.h"\n#include <vector>\n',
    "src/xls/CMakeLists.txt": "ss_layer(xls SOURCES Reader.cpp USES workbook platform)\n",
    "src/xls/Reader.cpp": '#include "workbook/Book.h"\n',
    "tools/sfs/CMakeLists.txt": "add_executable(sfs SfsMain.cpp)\n",
    "tools/sfs/SfsCommands.h": "#pragma once\n",
    "tools/sfs/SfsMain.cpp": '#include "SfsCommands.h"\n#include "store/engine/Pages.h"\n',
    "tests/store/Helper.h": "#pragma once\n",
    "tests/store/PagesTest.cpp": '#include "Helper.h"\n#include "SfsCommands.h"\n#include "store/engine/Pages.h"\n',
    "tests/xls/ReaderTest.cpp": '#include "xls/../workbook/Book.h"\n#include "platform/File.h"\n',
}

# (case, files to add or replace, text that one line of the report must hold)
FAULTS = [
    ("upward include",
     {"src/workbook/Book.cpp": '#include "xls/Reader.cpp"\n'},
     'src/workbook/Book.cpp:1: #include "xls/Reader.cpp" reaches src/xls/Reader.cpp of xls: upward include; '
     "layer workbook may use only: platform"),
    ("sideways include",
     {"src/workbook/Book.h": '#pragma once\n\n#include "store/engine/Pages.h"\n'},
     'src/workbook/Book.h:3: #include "store/engine/Pages.h" reaches src/store/engine/Pages.h of store: '
     "sideways include"),
    ("include through a relative path",
     {"src/store/engine/Pages.cpp": '#include "../../workbook/Book.h"\n'},
     'src/store/engine/Pages.cpp:1: #include "../../workbook/Book.h" reaches src/workbook/Book.h of workbook'),
    ("include of a file that does not exist",
     {"src/xls/Reader.cpp": '#include "xls/Missing.h"\n'},
     'src/xls/Reader.cpp:1: #include "xls/Missing.h" reaches no file of the tree'),
    ("tool reaching a layer outside its row",
     {"tools/sfs/SfsMain.cpp": '#include "workbook/Book.h"\n'},
     'tools/sfs/SfsMain.cpp:1: #include "workbook/Book.h" reaches src/workbook/Book.h of workbook: '
     "tools/sfs may use only: store platform"),
    ("test folder reaching beyond its layer's row",
     {"tests/xls/ReaderTest.cpp": '#include "store/engine/Pages.h"\n'},
     "tests/xls may use only: xls workbook platform (row tests/<layer> rule, from xls"),
    ("test folder reaching another test folder",
     {"tests/xls/ReaderTest.cpp": '#include "store/Helper.h"\n'},
     'tests/xls/ReaderTest.cpp:1: #include "store/Helper.h" reaches tests/store/Helper.h of tests/store'),
    ("layer folder without a row",
     {"src/extra/Thing.cpp": '#include "platform/File.h"\n'},
     "src/extra/Thing.cpp: extra holds code but has no row in cmake/layers.txt"),
    ("source file the layer does not name",
     {"src/store/engine/Stray.cpp": '#include "platform/File.h"\n'},
     "src/store/engine/Stray.cpp: not named in src/store/CMakeLists.txt, so never built"),
    ("layer listing its sources with a glob",
     {"src/workbook/CMakeLists.txt": "file(GLOB s *.cpp)\nss_layer(workbook SOURCES ${s} Book.cpp)\n"},
     "src/workbook/CMakeLists.txt: lists its sources with a GLOB"),
    ("table letting a layer use one listed after it",
     {"cmake/layers.txt": TABLE.replace("store         platform", "store         platform xls")},
     "cmake/layers.txt:3: layer store may use xls, which is listed after it"),
    ("table naming a unit without a row",
     {"cmake/layers.txt": TABLE.replace("workbook      platform", "workbook      platform ui")},
     "cmake/layers.txt:4: workbook may use ui, which has no row"),
    ("table letting a layer use a tool",
     {"cmake/layers.txt": TABLE.replace("xls           workbook platform", "xls           workbook platform tools/sfs")},
     "cmake/layers.txt:5: layer xls may use only layers, not tools/sfs"),
    ("architecture page out of date",
     {"docs/architecture.md": None},
     "docs/architecture.md:3: the layer table differs from cmake/layers.txt"),
]


def write(root, files):
    for rel, text in files.items():
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)


def run(root, *args):
    out = io.StringIO()
    with contextlib.redirect_stdout(out):
        rc = check_layers.main(["--root", root, *args])
    return rc, out.getvalue()


class LayerCheck(unittest.TestCase):
    def make_tree(self, root):
        write(root, CLEAN)
        write(root, {"cmake/layers.txt": TABLE, "docs/architecture.md": "# A\n\n%s\n%s\n" % (
            check_layers.DOC_BEGIN, check_layers.DOC_END)})
        rc, out = run(root, "--update-doc")
        self.assertEqual(rc, 0, out)

    def test_clean_tree_passes(self):
        with tempfile.TemporaryDirectory() as root:
            self.make_tree(root)
            rc, out = run(root)
            self.assertEqual(rc, 0, out)
            self.assertIn("6 rows of cmake/layers.txt hold", out)

    def test_every_fault_is_found_and_named(self):
        for name, files, expected in FAULTS:
            with self.subTest(name), tempfile.TemporaryDirectory() as root:
                self.make_tree(root)
                if "docs/architecture.md" in files:
                    write(root, {"cmake/layers.txt": TABLE + "tests/abi     platform\n"})
                else:
                    write(root, files)
                rc, out = run(root)
                self.assertEqual(rc, 1, out)
                self.assertIn(expected, out)


if __name__ == "__main__":
    unittest.main()
