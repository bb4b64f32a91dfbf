#!/usr/bin/env python3
"""Makes the sample import workbook and the spreadsheet fixtures of the reader tests.

The workbooks are written as flat OpenDocument spreadsheets (.fods) and converted to .xls and
.xlsx by LibreOffice in headless mode, so that every fixture is a file a real spreadsheet program
wrote. The CSV fixtures are exported by LibreOffice as well (the byte order mark of the UTF-8 one
is added here, as spreadsheet programs that write "CSV UTF-8" do). Run by hand after changing
this script, and commit the files it writes; nothing of LibreOffice is needed to build or test.

    python3 tools/make_sample_workbook.py            # from the repository root

Needs soffice on the PATH (Debian: libreoffice-calc-nogui). The random names and scores come
from a fixed seed, so the output changes only when this script does.
"""

import os
import random
import shutil
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SAMPLE_DIR = os.path.join(ROOT, "data", "导入excel文件样例")
SAMPLE_NAME = "分班数据输入样例"
FIXTURE_DIR = os.path.join(ROOT, "tests", "data", "import")

TITLES = ["学号", "登分号", "姓名", "性别", "数学", "英语", "语文", "物理", "政治",
          "历史", "体育", "地理", "生物", "毕业学校", "地址", "备注", "分类"]


class Date:
    def __init__(self, iso):
        self.iso = iso


class Formula:
    def __init__(self, formula, value):
        self.formula = formula
        self.value = value


# ---------------------------------------------------------------------------------------------
# Flat OpenDocument spreadsheet writer

def cell_xml(value):
    if value is None:
        return "<table:table-cell/>"
    if isinstance(value, bool):
        text = "TRUE" if value else "FALSE"
        return ('<table:table-cell office:value-type="boolean" office:boolean-value="%s">'
                "<text:p>%s</text:p></table:table-cell>" % (str(value).lower(), text))
    if isinstance(value, (int, float)):
        return ('<table:table-cell office:value-type="float" office:value="%r">'
                "<text:p>%r</text:p></table:table-cell>" % (value, value))
    if isinstance(value, Date):
        return ('<table:table-cell table:style-name="date" office:value-type="date" '
                'office:date-value="%s"><text:p>%s</text:p></table:table-cell>'
                % (value.iso, value.iso))
    if isinstance(value, Formula) and isinstance(value.value, bool):
        text = "TRUE" if value.value else "FALSE"
        return ('<table:table-cell table:formula="of:%s" office:value-type="boolean" '
                'office:boolean-value="%s"><text:p>%s</text:p></table:table-cell>'
                % (escape(value.formula), str(value.value).lower(), text))
    if isinstance(value, Formula):
        return ('<table:table-cell table:formula="of:%s" office:value-type="float" '
                'office:value="%r"><text:p>%r</text:p></table:table-cell>'
                % (escape(value.formula, {'"': "&quot;"}), value.value, value.value))
    paragraphs = "".join("<text:p>%s</text:p>" % escape(line).replace(" ", "<text:s/>")
                         if line.startswith(" ") or line.endswith(" ") or "  " in line
                         else "<text:p>%s</text:p>" % escape(line)
                         for line in value.split("\n"))
    return '<table:table-cell office:value-type="string">%s</table:table-cell>' % paragraphs


def fods(sheets, active):
    """sheets: list of (name, rows); active: the name of the sheet the file opens with."""
    tables = []
    for name, rows in sheets:
        body = "".join("<table:table-row>%s</table:table-row>"
                       % "".join(cell_xml(v) for v in row) for row in rows)
        tables.append('<table:table table:name="%s">%s</table:table>' % (escape(name), body))
    return """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:config="urn:oasis:names:tc:opendocument:xmlns:config:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:settings><config:config-item-set config:name="ooo:view-settings">
<config:config-item-map-indexed config:name="Views"><config:config-item-map-entry>
<config:config-item config:name="ViewId" config:type="string">view1</config:config-item>
<config:config-item config:name="ActiveTable" config:type="string">%s</config:config-item>
</config:config-item-map-entry></config:config-item-map-indexed>
</config:config-item-set></office:settings>
<office:styles>
<number:date-style style:name="isodate"><number:year number:style="long"/><number:text>-</number:text>
<number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/>
</number:date-style>
<style:style style:name="date" style:family="table-cell" style:data-style-name="isodate"/>
</office:styles>
<office:body><office:spreadsheet>%s</office:spreadsheet></office:body>
</office:document>
""" % (escape(active), "".join(tables))


def soffice(args, workdir):
    profile = "file://" + os.path.join(workdir, "profile")
    command = ["soffice", "-env:UserInstallation=" + profile, "--headless"] + args
    subprocess.run(command, check=True, cwd=workdir, stdout=subprocess.DEVNULL, timeout=300)


def convert(workdir, sources, target, outdir):
    """Converts .fods files in workdir to the target ("xls", "xlsx" or a csv filter) in outdir."""
    soffice(["--convert-to", target, "--outdir", outdir] + sources, workdir)


# A Basic macro for what the command-line conversion cannot do: save with a password.
PASSWORD_MACRO = """<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE script:module PUBLIC "-//OpenOffice.org//DTD OfficeDocument 1.0//EN" "module.dtd">
<script:module xmlns:script="http://openoffice.org/2000/script" script:name="Module1"
 script:language="StarBasic">
Sub SaveWithPassword(source As String, target As String, filterName As String)
    Dim loadArgs(0) As New com.sun.star.beans.PropertyValue
    loadArgs(0).Name = &quot;Hidden&quot;
    loadArgs(0).Value = True
    doc = StarDesktop.loadComponentFromURL(ConvertToURL(source), &quot;_blank&quot;, 0, loadArgs())
    Dim saveArgs(1) As New com.sun.star.beans.PropertyValue
    saveArgs(0).Name = &quot;FilterName&quot;
    saveArgs(0).Value = filterName
    saveArgs(1).Name = &quot;Password&quot;
    saveArgs(1).Value = &quot;secret&quot;
    doc.storeToURL(ConvertToURL(target), saveArgs())
    doc.close(True)
End Sub
</script:module>
"""


def save_with_password(workdir, source, target):
    module = os.path.join(workdir, "profile", "user", "basic", "Standard", "Module1.xba")
    if not os.path.exists(module):
        soffice(["--terminate_after_init"], workdir)  # creates the profile
    with open(module, "w", encoding="utf-8") as out:
        out.write(PASSWORD_MACRO)
    call = 'macro:///Standard.Module1.SaveWithPassword("%s","%s","MS Excel 97")' % (source, target)
    soffice([call], workdir)
    if not os.path.exists(target):
        sys.exit("LibreOffice did not write " + target)


# LibreOffice in headless mode saves every workbook with its first sheet active, so the fixture
# whose second sheet is active is marked so afterwards, the way a spreadsheet program saving with
# the second tab selected writes it: activeTab in workbook.xml, itabCur of the WINDOW1 record.
def mark_second_sheet_active_xlsx(path):
    import zipfile
    with zipfile.ZipFile(path) as archive:
        entries = [(info, archive.read(info.filename)) for info in archive.infolist()]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for info, content in entries:
            if info.filename == "xl/workbook.xml":
                content = content.replace(b'activeTab="0"', b'activeTab="1"')
            archive.writestr(info, content)


def mark_second_sheet_active_xls(path):
    with open(path, "rb") as f:
        content = bytearray(f.read())
    window1 = content.find(b"\x3d\x00\x12\x00")  # WINDOW1 record, 18 bytes of data
    if window1 < 0:
        sys.exit("no WINDOW1 record in " + path)
    content[window1 + 4 + 10] = 1  # itabCur
    with open(path, "wb") as f:
        f.write(content)


# ---------------------------------------------------------------------------------------------
# The sample workbook: about 200 students

SURNAMES = ("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘蒋蔡余杜叶"
            "程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛段雷侯龙史陶黎"
            "贺顾毛郝龚邵万钱严覃武戴莫孔向汤")
BOY_CHARS = "伟刚勇毅俊峰强军平保东文辉力明永健世广志义兴良海山仁波宁贵福生龙元全国胜学祥才发武新利清飞彬富顺信子杰涛昌成康星光天达安岩中茂进林有坚和彪博诚先敬震振壮会思群豪心邦承乐绍功松善厚庆磊民友裕河哲江超浩亮政谦亨奇固之轮翰朗伯宏言若鸣朋斌梁栋维启克伦翔旭鹏泽晨辰士以建家致树炎德行时泰盛雄琛钧冠策腾楠榕风航弘"
GIRL_CHARS = "秀娟英华慧巧美娜静淑惠珠翠雅芝玉萍红娥玲芬芳燕彩春菊兰凤洁梅琳素云莲真环雪荣爱妹霞香月莺媛艳瑞凡佳嘉琼勤珍贞莉桂娣叶璧璐娅琦晶妍茜秋珊莎锦黛青倩婷姣婉娴瑾颖露瑶怡婵雁蓓纨仪荷丹蓉眉君琴蕊薇菁梦岚苑婕馨瑗琰韵融园艺咏卿聪澜纯毓悦昭冰爽琬茗羽希宁欣飘育滢馥筠柔竹霭凝晓欢霄枫芸菲寒伊亚宜可姬舒影荔枝丽"
SCHOOLS = ["城关第一小学", "城关第二小学", "实验小学", "东街小学", "西湖小学", "育才小学",
           "红旗小学", "新华小学"]
STREETS = ["解放路", "人民路", "建设路", "中山路", "和平街", "文化路", "新华街", "胜利路"]
CATEGORIES = ["体育特长", "艺术特长", "住校生"]


def score(rng, mean, spread, top):
    value = rng.gauss(mean, spread)
    value = max(20.0, min(top, value))
    return round(value * 2) / 2 if rng.random() < 0.15 else float(round(value))


def name(rng, boy):
    chars = BOY_CHARS if boy else GIRL_CHARS
    given = rng.choice(chars) + (rng.choice(chars) if rng.random() < 0.75 else "")
    return rng.choice(SURNAMES) + given


def sample_rows(count=200):
    rng = random.Random(20240901)
    rows = [TITLES]
    names = set()
    for i in range(count):
        boy = rng.random() < 0.52
        student_name = name(rng, boy)
        while student_name in names:
            student_name = name(rng, boy)
        names.add(student_name)
        scores = [score(rng, 78, 14, 100) for _ in range(9)]
        memo = None
        category = None
        rows.append([20240001 + i, "K%04d" % (i + 1), student_name, "男" if boy else "女"]
                    + [int(s) if s.is_integer() else s for s in scores]
                    + [rng.choice(SCHOOLS), "城关镇%s%d号" % (rng.choice(STREETS), rng.randint(1, 200)),
                       memo, category])
    # A few students fixed to a class in advance, a few with a category, and two students with
    # the same name (in different rows, so a teacher sees how the division keeps them apart).
    for row, klass in ((7, 1), (42, 2), (88, 3), (131, 4), (176, 1)):
        rows[row][15] = str(klass)
    for row, category in ((12, 0), (35, 0), (60, 1), (77, 1), (103, 2), (150, 2), (190, 0)):
        rows[row][16] = CATEGORIES[category]
    rows[150][2] = rows[20][2]
    rows[150][3] = rows[20][3]
    return rows


# ---------------------------------------------------------------------------------------------
# Fixtures of the reader tests

def student(number, name, sex, scores, school="实验小学", address="人民路1号", memo=None,
            category=None, rec=None):
    return [number, rec if rec is not None else "R%d" % number, name, sex] + scores + [
        school, address, memo, category]


def normal_sheet():
    return [
        TITLES,
        student(1001, "张三", "男", [85, 92.5, 78, 66, 70, 81, 45, 59, 88], memo="3", category="艺术"),
        # Empty score cells (read as "0"), empty text cells, a 学号 written as text, a score cell
        # holding only blanks, and a name with blanks around it (kept as it is).
        ["1002", None, " 李四 ", "女", None, 90, None, 70, 60, 50, "  ", 40, 30, None, None, None, None],
        # A big 学号, a formula, a date, a boolean and a line break in a text cell.
        student(20240003, "王五", "男", [99.5, 100, 0, 60, 61, 62, 63, 64, 65],
                school=True, address=Date("2011-05-07"), rec=Formula("1+2", 3)),
        student(1004, "赵六", "女", [70, 71, 72, 73, 74, 75, 76, 77, 78.25],
                address="人民路\n3号楼"),
    ]


def stops_sheet():
    return [
        TITLES,
        student(1, "甲", "男", [80] * 9),
        student(2, "乙", "女", [81] * 9),
        [None, None, "丙", "男", 82, 82, None, 82, 82, 82, 82, 82, 82, None, None, None, None],
        student(4, "丁", "女", [83] * 9),
        student(5, "戊", "男", [84] * 9),
    ]


def a2_empty_sheet():
    return [
        TITLES,
        [None, "R1", "甲", "男"] + [80] * 9 + [None] * 4,
        student(2, "乙", "女", [81] * 9),
    ]


def extra_column_sheet():
    rows = [TITLES + ["班级"], student(1, "甲", "男", [80] * 9) + ["1班"]]
    return rows


def csv_sheet():
    # Separators, quotes and a line break inside fields, for the quoted CSV fixtures.
    return [
        TITLES,
        student(1, "张三", "男", [85, 92.5, 78, 66, 70, 81, 45, 59, 88],
                school='第一小学, "东校区"', address="人民路;1号\t2单元", category="艺术"),
        student(2, "李四", "女", [90, None, 70, 60, 50, 40, 40, 30, 20], address="和平街\n5号"),
        [None] * 17,
    ]


FIXTURE_WORKBOOKS = {
    # name: (sheets, active sheet, kinds)
    "normal": ([("学生", normal_sheet())], "学生", ["xls", "xlsx"]),
    "stops_at_empty_id": ([("学生", stops_sheet())], "学生", ["xls", "xlsx"]),
    "a2_empty": ([("学生", a2_empty_sheet())], "学生", ["xls", "xlsx"]),
    "extra_column": ([("学生", extra_column_sheet())], "学生", ["xls", "xlsx"]),
}

# LibreOffice's CSV export options: separator, quote character, character set, first line,
# cell format, language, quote all text, detect special numbers, save as shown.
CSV_FILTER = "csv:Text - txt - csv (StarCalc):%d,34,%s,1,,0,false,true,true"


def main():
    if not shutil.which("soffice"):
        sys.exit("soffice not found: install libreoffice-calc-nogui")
    os.makedirs(SAMPLE_DIR, exist_ok=True)
    os.makedirs(FIXTURE_DIR, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        def write(name, content):
            with open(os.path.join(work, name + ".fods"), "w", encoding="utf-8") as out:
                out.write(content)
            return name + ".fods"

        sample = write(SAMPLE_NAME, fods([("分班数据", sample_rows())], "分班数据"))
        convert(work, [sample], "xls", SAMPLE_DIR)
        convert(work, [sample], "xlsx", SAMPLE_DIR)

        by_kind = {}
        for name, (sheets, active, kinds) in FIXTURE_WORKBOOKS.items():
            source = write(name, fods(sheets, active))
            for kind in kinds:
                by_kind.setdefault(kind, []).append(source)
        for kind, sources in by_kind.items():
            convert(work, sources, kind, FIXTURE_DIR)

        two_sheets = write("second_sheet_active", fods(
            [("说明", [["请在第二个工作表中填写学生"], ["999", "不是学生"],
                       [Formula("=1<2", True), Formula("=1>2", False)]]),
             ("学生", stops_sheet()[:3])], "学生"))
        convert(work, [two_sheets], "xls", FIXTURE_DIR)
        convert(work, [two_sheets], "xlsx", FIXTURE_DIR)
        mark_second_sheet_active_xls(os.path.join(FIXTURE_DIR, "second_sheet_active.xls"))
        mark_second_sheet_active_xlsx(os.path.join(FIXTURE_DIR, "second_sheet_active.xlsx"))
        save_with_password(work, os.path.join(work, "normal.fods"),
                           os.path.join(FIXTURE_DIR, "password.xls"))

        # CSV, exported as UTF-8 (LibreOffice's character set 76): with a byte order mark and
        # commas, re-encoded to GBK with semicolons (as a spreadsheet program set to code page
        # 936 writes it), and with tabs.
        csv_source = write("csv_source", fods([("学生", csv_sheet())], "学生"))
        for target, separator, encode in (
                ("utf8_bom_comma", 44, lambda text: b"\xef\xbb\xbf" + text.encode("utf-8")),
                ("gbk_semicolon", 59, lambda text: text.encode("gbk")),
                ("tab_quoted", 9, lambda text: text.encode("utf-8"))):
            outdir = os.path.join(work, target)
            convert(work, [csv_source], CSV_FILTER % (separator, "76"), outdir)
            with open(os.path.join(outdir, "csv_source.csv"), encoding="utf-8", newline="") as f:
                text = f.read()
            with open(os.path.join(FIXTURE_DIR, target + ".csv"), "wb") as out:
                out.write(encode(text))

    # Damaged files made from the good ones.
    for kind in ("xls", "xlsx"):
        with open(os.path.join(FIXTURE_DIR, "normal." + kind), "rb") as good:
            content = good.read()
        with open(os.path.join(FIXTURE_DIR, "truncated." + kind), "wb") as out:
            out.write(content[: len(content) // 2])
    with open(os.path.join(FIXTURE_DIR, "text_named.xls"), "w", encoding="utf-8") as out:
        out.write("学号,姓名\n1,张三\n")


if __name__ == "__main__":
    main()
