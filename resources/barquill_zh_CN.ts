<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>Colour</name>
    <message>
        <source>black</source>
        <translation>黑色</translation>
    </message>
    <message>
        <source>white</source>
        <translation>白色</translation>
    </message>
    <message>
        <source>grey</source>
        <translation>灰色</translation>
    </message>
    <message>
        <source>light grey</source>
        <translation>浅灰色</translation>
    </message>
    <message>
        <source>dark grey</source>
        <translation>深灰色</translation>
    </message>
    <message>
        <source>red</source>
        <translation>红色</translation>
    </message>
    <message>
        <source>dark red</source>
        <translation>深红色</translation>
    </message>
    <message>
        <source>green</source>
        <translation>绿色</translation>
    </message>
    <message>
        <source>dark green</source>
        <translation>深绿色</translation>
    </message>
    <message>
        <source>blue</source>
        <translation>蓝色</translation>
    </message>
    <message>
        <source>navy</source>
        <translation>藏青色</translation>
    </message>
    <message>
        <source>yellow</source>
        <translation>黄色</translation>
    </message>
    <message>
        <source>cyan</source>
        <translation>青色</translation>
    </message>
    <message>
        <source>magenta</source>
        <translation>品红色</translation>
    </message>
    <message>
        <source>orange</source>
        <translation>橙色</translation>
    </message>
    <message>
        <source>brown</source>
        <translation>棕色</translation>
    </message>
    <message>
        <source>purple</source>
        <translation>紫色</translation>
    </message>
    <message>
        <source>pink</source>
        <translation>粉红色</translation>
    </message>
</context>
<context>
    <name>barquill::app::CAboutDialog</name>
    <message>
        <source>About Barquill</source>
        <translation>关于 Barquill</translation>
    </message>
    <message>
        <source>Barquill %1</source>
        <translation>Barquill %1 版</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Makes PDF417 barcode symbols.
Licence: %1</source>
        <translation>生成 PDF417 条码符号。
许可证：%1</translation>
    </message>
</context>
<context>
    <name>barquill::app::CMainDialog</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>About Barquill...</source>
        <translation>关于 Barquill(&amp;A)...</translation>
    </message>
    <message>
        <source>Command line</source>
        <translation>命令行</translation>
    </message>
    <message>
        <source>This command writes the same file as Save, named label.png:</source>
        <translation>此命令写出与“保存”相同的文件，文件名为 label.png：</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>Split into a series of %1 symbols</source>
        <translation>拆分为 %1 个符号的系列</translation>
    </message>
    <message>
        <source>There is nothing to copy. %1</source>
        <translation>没有可复制的内容。%1</translation>
    </message>
    <message>
        <source>The text or options changed after the symbol was made; press Encode to update it. Copy the symbol shown anyway?</source>
        <translation>符号生成后文本或选项已更改；请按“编码”更新。仍要复制当前显示的符号吗？</translation>
    </message>
    <message>
        <source>%1 or %2</source>
        <translation>%1 或 %2</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自动</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>文本</translation>
    </message>
    <message>
        <source>The data to encode. Enter makes a new line and Ctrl+Enter encodes; tabs and control characters show as marks</source>
        <translation>要编码的数据。Enter 换行，Ctrl+Enter 编码；制表符和控制字符显示为标记</translation>
    </message>
    <message>
        <source>&amp;Escapes (\n \t \xHH)</source>
        <translation>转义(&amp;E) (\n \t \xHH)</translation>
    </message>
    <message>
        <source>Escapes</source>
        <translation>转义</translation>
    </message>
    <message>
        <source>Read \n, \r, \t, \\ and \xHH in the typed text as line feed, carriage return, tab, backslash and the byte HH</source>
        <translation>将输入文本中的 \n、\r、\t、\\ 和 \xHH 读作换行、回车、制表符、反斜杠和字节 HH</translation>
    </message>
    <message>
        <source>L&amp;oad...</source>
        <translation>载入(&amp;O)...</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>载入</translation>
    </message>
    <message>
        <source>Load the data from a file, bytes as they are (Ctrl+O)</source>
        <translation>从文件载入数据，按原样取字节 (Ctrl+O)</translation>
    </message>
    <message>
        <source>Live &amp;preview</source>
        <translation>实时预览(&amp;P)</translation>
    </message>
    <message>
        <source>Live preview</source>
        <translation>实时预览</translation>
    </message>
    <message>
        <source>Show the symbol of every change at once; off, only Encode changes it</source>
        <translation>每次更改都立即显示符号；关闭时只有“编码”会更新符号</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>纠错等级</translation>
    </message>
    <message>
        <source>Error-correction level: %1 to choose it by the data&apos;s length. A higher level survives more damage but makes the symbol larger</source>
        <translation>纠错等级：%1（自动：按数据长度选择）。等级越高越能承受损坏，但符号也越大</translation>
    </message>
    <message>
        <source>Background</source>
        <translation>背景</translation>
    </message>
    <message>
        <source>Background color</source>
        <translation>背景颜色</translation>
    </message>
    <message>
        <source>Color of the spaces and the margin; click to choose</source>
        <translation>空白和边距的颜色；单击选择</translation>
    </message>
    <message>
        <source>Bar color</source>
        <translation>条颜色</translation>
    </message>
    <message>
        <source>Color of the bars; click to choose</source>
        <translation>条的颜色；单击选择</translation>
    </message>
    <message>
        <source> px</source>
        <translation> 像素</translation>
    </message>
    <message>
        <source>Margin</source>
        <translation>边距</translation>
    </message>
    <message>
        <source>Quiet zone on every side: %1 pixels, printer dots with a Resolution</source>
        <translation>四周的静区：%1 像素；设定分辨率时为打印机点</translation>
    </message>
    <message>
        <source>Columns</source>
        <translation>列数</translation>
    </message>
    <message>
        <source>Data columns, the row indicators not counted: %1 to choose them</source>
        <translation>数据列数（不计行指示符）：%1（自动：自动选择）</translation>
    </message>
    <message>
        <source> mm</source>
        <translation> 毫米</translation>
    </message>
    <message>
        <source>Module width</source>
        <translation>模块宽度</translation>
    </message>
    <message>
        <source>Printer&apos;s</source>
        <translation>打印机默认</translation>
    </message>
    <message>
        <source> dpi</source>
        <translation> dpi</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>分辨率</translation>
    </message>
    <message>
        <source>Printer resolution in dots per inch: %1 own. With a resolution Save writes modules of whole dots and records it in the file, and the status line gives the size on paper</source>
        <translation>打印机分辨率（每英寸点数）：%1。设定分辨率后，“保存”以整点写出模块并在文件中记录分辨率，状态栏给出纸上尺寸</translation>
    </message>
    <message>
        <source>Rows</source>
        <translation>行数</translation>
    </message>
    <message>
        <source>Rows: %1; with Columns set too, a symbol of exactly that size</source>
        <translation>行数：%1；同时设定列数时，符号恰为该尺寸</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Aspect ratio</source>
        <translation>宽高比</translation>
    </message>
    <message>
        <source>Width to height of the printed symbol: %1. The columns are chosen to come closest (Rows and Columns on Auto)</source>
        <translation>打印符号的宽高比：%1。列数按最接近的比例选择（行数和列数需为“自动”）</translation>
    </message>
    <message>
        <source>None (bytes as typed)</source>
        <translation>无（按输入的字节）</translation>
    </message>
    <message>
        <source>Character set</source>
        <translation>字符集</translation>
    </message>
    <message>
        <source>How the text is encoded: Auto keeps ASCII as it is and marks other text as UTF-8; None takes the bytes as typed; a named set converts the text and marks it with its ECI number</source>
        <translation>文本的编码方式：“自动”保持 ASCII 不变，其他文本标记为 UTF-8；“无”按输入取字节；指定字符集则转换文本并以其 ECI 编号标记</translation>
    </message>
    <message>
        <source>&amp;Split data too large for one symbol into a Macro PDF417 series</source>
        <translation>将单个符号容纳不下的数据拆分为 Macro PDF417 系列(&amp;S)</translation>
    </message>
    <message>
        <source>Macro PDF417 series</source>
        <translation>Macro PDF417 系列</translation>
    </message>
    <message>
        <source>Data too large for one symbol becomes numbered symbols that readers join; Save writes one file per symbol</source>
        <translation>单个符号容纳不下的数据成为带编号的多个符号，由读码器拼合；“保存”为每个符号写一个文件</translation>
    </message>
    <message>
        <source>&amp;Verify: read every symbol back</source>
        <translation>校验：回读每个符号(&amp;V)</translation>
    </message>
    <message>
        <source>Verify</source>
        <translation>校验</translation>
    </message>
    <message>
        <source>Read each symbol back with an independent reader and mark it Verified in the status line when it holds exactly the data</source>
        <translation>用独立的读码器回读每个符号，内容与数据完全一致时在状态栏标记“已校验”</translation>
    </message>
    <message>
        <source>Split into a series</source>
        <translation>拆分为系列</translation>
    </message>
    <message>
        <source>Split the data into a Macro PDF417 series</source>
        <translation>将数据拆分为 Macro PDF417 系列</translation>
    </message>
    <message>
        <source>Symbol</source>
        <translation>符号</translation>
    </message>
    <message>
        <source>The symbol; right-click or press the menu key to copy it</source>
        <translation>符号；右键单击或按菜单键可复制</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>&amp;Text</source>
        <translation>文本(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Level</source>
        <translation>纠错等级(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Margin</source>
        <translation>边距(&amp;M)</translation>
    </message>
    <message>
        <source>&amp;Columns</source>
        <translation>列数(&amp;C)</translation>
    </message>
    <message>
        <source>Module &amp;width</source>
        <translation>模块宽度(&amp;W)</translation>
    </message>
    <message>
        <source>Resolutio&amp;n</source>
        <translation>分辨率(&amp;N)</translation>
    </message>
    <message>
        <source>More options</source>
        <translation>更多选项</translation>
    </message>
    <message>
        <source>&amp;Rows</source>
        <translation>行数(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Aspect ratio</source>
        <translation>宽高比(&amp;A)</translation>
    </message>
    <message>
        <source>C&amp;haracter set</source>
        <translation>字符集(&amp;H)</translation>
    </message>
    <message>
        <source>Encode</source>
        <translation>编码</translation>
    </message>
    <message>
        <source>Make the symbol of the text and options (Enter, or Ctrl+Enter in the text)</source>
        <translation>按文本和选项生成符号（Enter，或在文本中按 Ctrl+Enter）</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Save the symbol as %1 (Ctrl+S)</source>
        <translation>将符号保存为 %1 (Ctrl+S)</translation>
    </message>
    <message>
        <source>Print...</source>
        <translation>打印...</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>打印</translation>
    </message>
    <message>
        <source>Print the symbol at its true size, with a preview (Ctrl+P)</source>
        <translation>按实际尺寸打印符号，附预览 (Ctrl+P)</translation>
    </message>
    <message>
        <source>Close Barquill; the text and options come back next time (Esc)</source>
        <translation>关闭 Barquill；文本和选项在下次启动时恢复 (Esc)</translation>
    </message>
    <message>
        <source>&amp;Save...</source>
        <translation>保存(&amp;S)...</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>打印(&amp;P)...</translation>
    </message>
    <message>
        <source>&amp;Load data...</source>
        <translation>载入数据(&amp;L)...</translation>
    </message>
    <message>
        <source>&amp;Copy image</source>
        <translation>复制图像(&amp;C)</translation>
    </message>
    <message>
        <source>Copy as SV&amp;G text</source>
        <translation>复制为 SVG 文本(&amp;G)</translation>
    </message>
    <message>
        <source>Co&amp;mmand line...</source>
        <translation>命令行(&amp;M)...</translation>
    </message>
    <message>
        <source>Background: %1</source>
        <translation>背景：%1</translation>
    </message>
    <message>
        <source>Bar color: %1</source>
        <translation>条颜色：%1</translation>
    </message>
    <message>
        <source>Loaded from %1: %2 bytes, encoded as they are. Typing replaces them.</source>
        <translation>已从 %1 载入 %2 字节，按原样编码。输入文字会替换它们。</translation>
    </message>
    <message>
        <source>Could not read %1:
%2</source>
        <translation>无法读取 %1：
%2</translation>
    </message>
    <message>
        <source>It is a folder.</source>
        <translation>这是一个文件夹。</translation>
    </message>
    <message>
        <source>%1 is longer than the %2 bytes the window takes; nothing was loaded.</source>
        <translation>%1 超过窗口可接受的 %2 字节；未载入任何内容。</translation>
    </message>
    <message>
        <source>Load data</source>
        <translation>载入数据</translation>
    </message>
    <message>
        <source>There is nothing to print. %1</source>
        <translation>没有可打印的内容。%1</translation>
    </message>
    <message>
        <source>Nothing was saved.</source>
        <translation>未保存任何内容。</translation>
    </message>
    <message>
        <source>Nothing was copied.</source>
        <translation>未复制任何内容。</translation>
    </message>
    <message>
        <source>Nothing was printed.</source>
        <translation>未打印任何内容。</translation>
    </message>
    <message>
        <source>The text or options changed after the symbol was made; press Encode to update it. Print the symbol shown anyway?</source>
        <translation>符号生成后文本或选项已更改；请按“编码”更新。仍要打印当前显示的符号吗？</translation>
    </message>
    <message>
        <source>Print anyway?</source>
        <translation>仍要打印吗？</translation>
    </message>
    <message>
        <source>%1, modules of %2 at %3</source>
        <translation>%1，模块宽 %2，%3</translation>
    </message>
    <message>
        <source>%1 of %2: %3</source>
        <translation>第 %1 个，共 %2 个：%3</translation>
    </message>
    <message>
        <source>The symbol is larger than the printable part of the page: choose a narrower module or larger paper.</source>
        <translation>符号超出页面的可打印区域：请选择更窄的模块或更大的纸张。</translation>
    </message>
    <message>
        <source>PNG image</source>
        <translation>PNG 图像</translation>
    </message>
    <message>
        <source>GIF image</source>
        <translation>GIF 图像</translation>
    </message>
    <message>
        <source>BMP image</source>
        <translation>BMP 图像</translation>
    </message>
    <message>
        <source>SVG drawing</source>
        <translation>SVG 绘图</translation>
    </message>
    <message>
        <source>  … and %1 more</source>
        <translation>  …… 另有 %1 个</translation>
    </message>
    <message>
        <source>Saving the series replaces these files:
%1</source>
        <translation>保存此系列将替换以下文件：
%1</translation>
    </message>
    <message>
        <source>An older series of the same name has these files too, which this series does not replace; a reader would take them for part of it:
%1</source>
        <translation>同名的旧系列还有以下文件，此系列不会替换它们；读码器会把它们当作此系列的一部分：
%1</translation>
    </message>
    <message>
        <source>Replace and &amp;remove the older files</source>
        <translation>替换并删除旧文件(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>替换(&amp;R)</translation>
    </message>
    <message>
        <source>%1 is read-only. Replace it anyway?</source>
        <translation>%1 是只读文件。仍要替换吗？</translation>
    </message>
    <message>
        <source>These files are read-only:
%1
Replace them anyway?</source>
        <translation>以下文件是只读的：
%1
仍要替换吗？</translation>
    </message>
    <message>
        <source>There is no symbol to save yet: press Encode first.</source>
        <translation>还没有可保存的符号：请先按“编码”。</translation>
    </message>
    <message>
        <source>There is nothing to save. %1</source>
        <translation>没有可保存的内容。%1</translation>
    </message>
    <message>
        <source>The text or options changed after the symbol was made; press Encode to update it. Save the symbol shown anyway?</source>
        <translation>符号生成后文本或选项已更改；请按“编码”更新。仍要保存当前显示的符号吗？</translation>
    </message>
    <message>
        <source>Save anyway?</source>
        <translation>仍要保存吗？</translation>
    </message>
    <message>
        <source>Replace, &amp;keep the older files</source>
        <translation>替换，保留旧文件(&amp;K)</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Width of one module on paper: %1. Print, PDF and EPS draw modules this wide, and with a Resolution every file does, in whole printer dots</source>
        <translation>纸上一个模块的宽度：%1。打印、PDF 和 EPS 按此宽度绘制模块；设定分辨率后，所有文件都如此，并取整为打印机点</translation>
    </message>
    <message>
        <source>PDF document</source>
        <translation>PDF 文档</translation>
    </message>
    <message>
        <source>EPS drawing</source>
        <translation>EPS 绘图</translation>
    </message>
    <message>
        <source>Symbol: %1</source>
        <translation>符号：%1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>None: free text</source>
        <translation>无：自由文本</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>应用规范</translation>
    </message>
    <message>
        <source>A scheme that laws or industries mandate (a payment slip, a driving licence, a boarding pass, a tax stamp): its fields make the data and its settings the symbol; None encodes the text as it is</source>
        <translation>法律或行业规定的方案（付款单、驾驶执照、登机牌、税务印章）：由其字段生成数据，由其设置决定符号；“无”按原样编码文本</translation>
    </message>
    <message>
        <source>Pro&amp;file</source>
        <translation>应用规范(&amp;F)</translation>
    </message>
    <message>
        <source>There is nothing to explain. %1</source>
        <translation>没有可解释的内容。%1</translation>
    </message>
    <message>
        <source>E&amp;xplain...</source>
        <translation>解释(&amp;X)...</translation>
    </message>
</context>
<context>
    <name>barquill::app::ExplainDialog</name>
    <message>
        <source>Explain</source>
        <translation>解释</translation>
    </message>
    <message>
        <source>Symbol</source>
        <translation>符号</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>第 %1 个，共 %2 个</translation>
    </message>
    <message>
        <source>Segments</source>
        <translation>数据段</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>模式</translation>
    </message>
    <message>
        <source>From byte</source>
        <translation>起始字节</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>字节数</translation>
    </message>
    <message>
        <source>Codewords</source>
        <translation>码字</translation>
    </message>
    <message>
        <source>Row</source>
        <translation>行</translation>
    </message>
    <message>
        <source>Column</source>
        <translation>列</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>值</translation>
    </message>
    <message>
        <source>Meaning</source>
        <translation>含义</translation>
    </message>
    <message>
        <source>S&amp;ymbol</source>
        <translation>符号(&amp;Y)</translation>
    </message>
    <message>
        <source>&amp;Segments: the compaction modes and the bytes each carries</source>
        <translation>数据段(&amp;S)：各压缩模式及其承载的字节</translation>
    </message>
    <message>
        <source>C&amp;odewords, row by row</source>
        <translation>码字，逐行(&amp;O)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>&amp;Copy as text</source>
        <translation>复制为文本(&amp;C)</translation>
    </message>
    <message>
        <source>%1, level %2%3: %4 error-correction codewords; length descriptor %5, counting itself, %6 data and %7 padding codewords; room for %8 more.</source>
        <translation>%1，纠错等级 %2%3：%4 个纠错码字；长度描述符 %5（含其自身、%6 个数据码字和 %7 个填充码字）；还可容纳 %8 个。</translation>
    </message>
    <message>
        <source>%1 × %2</source>
        <translation>%1 × %2</translation>
    </message>
    <message>
        <source>, compact</source>
        <translation>，紧凑形式</translation>
    </message>
    <message>
        <source>Symbol %1 of %2:</source>
        <translation>第 %1 个符号，共 %2 个：</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>文本</translation>
    </message>
    <message>
        <source>Byte</source>
        <translation>字节</translation>
    </message>
    <message>
        <source>Numeric</source>
        <translation>数字</translation>
    </message>
    <message>
        <source>, part %1 of %2</source>
        <translation>，第 %1 部分，共 %2 部分</translation>
    </message>
    <message>
        <source>Length descriptor</source>
        <translation>长度描述符</translation>
    </message>
    <message>
        <source>Latch to %1 compaction</source>
        <translation>锁定到%1压缩</translation>
    </message>
    <message>
        <source>Shift to %1 compaction for one codeword</source>
        <translation>转换到%1压缩（仅一个码字）</translation>
    </message>
    <message>
        <source>Text: two characters or switches</source>
        <translation>文本：两个字符或切换</translation>
    </message>
    <message>
        <source>Byte %1</source>
        <translation>字节 %1</translation>
    </message>
    <message>
        <source>Bytes %1 to %2</source>
        <translation>字节 %1 到 %2</translation>
    </message>
    <message>
        <source>Digits %1 to %2</source>
        <translation>数字 %1 到 %2</translation>
    </message>
    <message>
        <source>Padding</source>
        <translation>填充</translation>
    </message>
    <message>
        <source>ECI designator</source>
        <translation>ECI 指示符</translation>
    </message>
    <message>
        <source>ECI number</source>
        <translation>ECI 编号</translation>
    </message>
    <message>
        <source>Macro PDF417 control block</source>
        <translation>Macro PDF417 控制块</translation>
    </message>
    <message>
        <source>Segment index</source>
        <translation>段索引</translation>
    </message>
    <message>
        <source>File ID</source>
        <translation>文件标识</translation>
    </message>
    <message>
        <source>Optional field</source>
        <translation>可选字段</translation>
    </message>
    <message>
        <source>Optional field&apos;s tag</source>
        <translation>可选字段的标记</translation>
    </message>
    <message>
        <source>Optional field&apos;s value</source>
        <translation>可选字段的值</translation>
    </message>
    <message>
        <source>Last symbol of the series</source>
        <translation>系列的最后一个符号</translation>
    </message>
    <message>
        <source>Error correction</source>
        <translation>纠错</translation>
    </message>
</context>
<context>
    <name>barquill::app::Language</name>
    <message>
        <source>en_US</source>
        <comment>The locale of this translation, such as zh_CN</comment>
        <translation>zh_CN</translation>
    </message>
</context>
<context>
    <name>barquill::app::Messages</name>
    <message>
        <source>%1 to %2</source>
        <translation>%1 到 %2</translation>
    </message>
    <message>
        <source>%1 × %2</source>
        <translation>%1 × %2</translation>
    </message>
    <message>
        <source>%1 × %2 mm</source>
        <translation>%1 × %2 毫米</translation>
    </message>
    <message>
        <source>%1 dpi</source>
        <translation>%1 dpi</translation>
    </message>
    <message>
        <source>Columns</source>
        <translation>列数</translation>
    </message>
    <message>
        <source>Rows</source>
        <translation>行数</translation>
    </message>
    <message>
        <source>Margin</source>
        <translation>边距</translation>
    </message>
    <message>
        <source>Module width</source>
        <translation>模块宽度</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>分辨率</translation>
    </message>
    <message>
        <source>Aspect ratio</source>
        <translation>宽高比</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>纠错等级</translation>
    </message>
    <message>
        <source>Character set</source>
        <translation>字符集</translation>
    </message>
    <message>
        <source>%1 to %2, or %3</source>
        <translation>%1 到 %2，或 %3</translation>
    </message>
    <message>
        <source>%1 must be %2.</source>
        <translation>%1 必须为 %2。</translation>
    </message>
    <message>
        <source>more than 0 and at most %1</source>
        <translation>大于 0 且不超过 %1</translation>
    </message>
    <message>
        <source>%1 mm</source>
        <translation>%1 毫米</translation>
    </message>
    <message>
        <source>a ratio of width to height such as 3:1 or 1:2, or a number such as 2.5, up to %1:1 either way; empty for none</source>
        <translation>宽与高之比，如 3:1 或 1:2，或如 2.5 的数字，两个方向最多 %1:1；留空表示无</translation>
    </message>
    <message>
        <source>Level %1 or lower fits.</source>
        <translation>纠错等级 %1 或更低可以容纳。</translation>
    </message>
    <message>
        <source>Or split the data into a Macro PDF417 series of %1 symbols.</source>
        <translation>或将数据拆分为 %1 个符号的 Macro PDF417 系列。</translation>
    </message>
    <message>
        <source>The text is empty: type the data to encode (readers reject a symbol without data).</source>
        <translation>文本为空：请输入要编码的数据（读码器拒绝没有数据的符号）。</translation>
    </message>
    <message>
        <source>Text: “%1” at character %2 is no escape; escapes are \n, \r, \t, \\ and \xHH. Turn Escapes off to encode backslashes as they are.</source>
        <translation>文本：第 %2 个字符处的“%1”不是转义序列；转义序列为 \n、\r、\t、\\ 和 \xHH。关闭“转义”可按原样编码反斜杠。</translation>
    </message>
    <message>
        <source>Text: “%1” (character %2) has no %3 form: choose UTF-8%4 as the character set.</source>
        <translation>文本：“%1”（第 %2 个字符）在 %3 中没有对应形式：请选择 UTF-8%4 作为字符集。</translation>
    </message>
    <message>
        <source> or %1</source>
        <translation> 或 %1</translation>
    </message>
    <message>
        <source>The data is not UTF-8 text (byte %1), so it cannot be converted into %2: choose None to encode the bytes as they are.</source>
        <translation>数据不是 UTF-8 文本（第 %1 字节），无法转换为 %2：选择“无”可按原样编码字节。</translation>
    </message>
    <message>
        <source>This system cannot convert text into %1: choose another character set.</source>
        <translation>本系统无法将文本转换为 %1：请选择其他字符集。</translation>
    </message>
    <message>
        <source>More symbols than bytes of data were asked for.</source>
        <translation>要求的符号数多于数据的字节数。</translation>
    </message>
    <message>
        <source>An aspect ratio chooses the columns itself: set Rows and Columns to Auto, or clear the aspect ratio.</source>
        <translation>宽高比会自行选择列数：请将行数和列数设为“自动”，或清除宽高比。</translation>
    </message>
    <message>
        <source>Bars and background have the same color: no reader could see the bars. Choose another color.</source>
        <translation>条和背景颜色相同：读码器看不到条。请选择其他颜色。</translation>
    </message>
    <message>
        <source>A module of this width is %1 printer dots at this resolution; at most %2 are drawn: choose a narrower module or a lower resolution.</source>
        <translation>在此分辨率下，此宽度的模块为 %1 个打印机点；最多绘制 %2 个：请选择更窄的模块或更低的分辨率。</translation>
    </message>
    <message>
        <source>The picture could not be made: there is not enough memory.</source>
        <translation>无法生成图像：内存不足。</translation>
    </message>
    <message>
        <source>The data cannot be split into symbols of this level and shape: even the largest part needs %1 data codewords with its control block, and level %2 adds %3 for error correction. Choose more rows or columns, or Auto.</source>
        <translation>无法将数据拆分为此纠错等级和形状的符号：最大的部分连同控制块需要 %1 个数据码字，纠错等级 %2 还要增加 %3 个纠错码字。请增加行数或列数，或设为“自动”。</translation>
    </message>
    <message>
        <source>The text is %1 bytes long; one symbol takes at most %2: shorten the text.</source>
        <translation>文本长 %1 字节；一个符号最多容纳 %2 字节：请缩短文本。</translation>
    </message>
    <message>
        <source>Needs %1 codewords at level %2; a symbol holds at most %3: shorten the text%4.</source>
        <translation>在纠错等级 %2 下需要 %1 个码字；一个符号最多容纳 %3 个：请缩短文本%4。</translation>
    </message>
    <message>
        <source> or lower the level</source>
        <translation>或降低纠错等级</translation>
    </message>
    <message>
        <source>Needs %1 at %2; a symbol has at most %3: choose more columns or Auto.</source>
        <translation>%2 时需要 %1；一个符号最多 %3：请选择更多列或“自动”。</translation>
    </message>
    <message>
        <source>1 row</source>
        <translation>1 行</translation>
    </message>
    <message>
        <source>%1 rows</source>
        <translation>%1 行</translation>
    </message>
    <message>
        <source>1 data column</source>
        <translation>1 个数据列</translation>
    </message>
    <message>
        <source>%1 data columns</source>
        <translation>%1 个数据列</translation>
    </message>
    <message>
        <source>Columns that fit: %1.</source>
        <translation>可容纳的列数：%1。</translation>
    </message>
    <message>
        <source>%1 at %2</source>
        <translation>%2 时 %1</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 × %2</translation>
    </message>
    <message>
        <source>%1 of up to %2</source>
        <translation>%1 × 最多 %2</translation>
    </message>
    <message>
        <source>The data does not fit %1 at level %2.</source>
        <translation>在纠错等级 %2 下，数据放不进 %1。</translation>
    </message>
    <message>
        <source>It needs %1. Change Rows or Columns, or set them to Auto.</source>
        <translation>需要 %1。请更改行数或列数，或设为“自动”。</translation>
    </message>
    <message>
        <source>, or </source>
        <translation>，或 </translation>
    </message>
    <message>
        <source>Give more rows or columns, or set them to Auto.</source>
        <translation>请增加行数或列数，或设为“自动”。</translation>
    </message>
    <message>
        <source>Verifying...</source>
        <translation>正在校验...</translation>
    </message>
    <message>
        <source>✓ Verified.</source>
        <translation>✓ 已校验。</translation>
    </message>
    <message>
        <source>Not verified: this build has no reader.</source>
        <translation>未校验：此版本没有读码器。</translation>
    </message>
    <message>
        <source>symbol %1: </source>
        <translation>第 %1 个符号：</translation>
    </message>
    <message>
        <source>Not verified (%1the reader finds no symbol): check the colors.</source>
        <translation>未通过校验（%1读码器找不到符号）：请检查颜色。</translation>
    </message>
    <message>
        <source>Not verified (%1the reader gets other data than the text).</source>
        <translation>未通过校验（%1读码器读出的数据与文本不同）。</translation>
    </message>
    <message>
        <source>%1 × %2, level %3</source>
        <translation>%1 × %2，纠错等级 %3</translation>
    </message>
    <message>
        <source>%1 pixels</source>
        <translation>%1 像素</translation>
    </message>
    <message>
        <source>%1, %2 at %3</source>
        <translation>%1，%3 时 %2</translation>
    </message>
    <message>
        <source>A Macro PDF417 series of %1 symbols, each %2; %3 bytes of data; %4 each.</source>
        <translation>Macro PDF417 系列，共 %1 个符号，每个 %2；数据 %3 字节；每个 %4。</translation>
    </message>
    <message>
        <source>%1; %2 of %3 data codewords (%4%); %5.</source>
        <translation>%1；已用 %2/%3 个数据码字 (%4%)；%5。</translation>
    </message>
    <message>
        <source>A module is only %1 wide: with fewer than %2, bars print unevenly. Choose a wider module or a higher resolution.</source>
        <translation>一个模块只有 %1 宽：少于 %2 时，条的打印宽度不均匀。请选择更宽的模块或更高的分辨率。</translation>
    </message>
    <message>
        <source>1 printer dot</source>
        <translation>1 个打印机点</translation>
    </message>
    <message>
        <source>%1 printer dots</source>
        <translation>%1 个打印机点</translation>
    </message>
    <message>
        <source>1 dot</source>
        <translation>1 点</translation>
    </message>
    <message>
        <source>%1 dots</source>
        <translation>%1 点</translation>
    </message>
    <message>
        <source>The bars are lighter than the background: most readers expect dark bars on a light background.</source>
        <translation>条比背景浅：大多数读码器要求浅色背景上的深色条。</translation>
    </message>
    <message>
        <source>The colors differ too little for readers (contrast %1:1; at least %2:1 is needed): choose darker bars or a lighter background.</source>
        <translation>颜色差别太小，读码器难以分辨（对比度 %1:1；至少需要 %2:1）：请选择更深的条或更浅的背景。</translation>
    </message>
    <message>
        <source>Outdated: the text or options changed after this symbol was made; press Encode to update it.</source>
        <translation>已过期：符号生成后文本或选项已更改；请按“编码”更新。</translation>
    </message>
    <message>
        <source>Saved %1.</source>
        <translation>已保存 %1。</translation>
    </message>
    <message>
        <source>Saved %1 … %2, %3 files.</source>
        <translation>已保存 %1 … %2，共 %3 个文件。</translation>
    </message>
    <message>
        <source>%1 is read-only; it was left as it is.</source>
        <translation>%1 是只读文件，未作改动。</translation>
    </message>
    <message>
        <source>Nothing was saved: %1.</source>
        <translation>未保存任何内容：%1。</translation>
    </message>
    <message>
        <source>Could not save %1:
%2</source>
        <translation>无法保存 %1：
%2</translation>
    </message>
    <message>
        <source>Symbol %1: %2</source>
        <translation>第 %1 个符号：%2</translation>
    </message>
    <message>
        <source>1 pixel</source>
        <translation>1 像素</translation>
    </message>
    <message>
        <source>The symbol is compact: phone cameras and many scanners do not read it. Use the full form.</source>
        <translation>符号为紧凑形式：手机摄像头和许多扫描器无法读取。请使用完整形式。</translation>
    </message>
    <message>
        <source>Level %1 is below the %2 recommended for this much data: a scratch or a poor print may make it unreadable. Choose level %2 or higher.</source>
        <translation>纠错等级 %1 低于此数据量建议的 %2：划痕或打印不良可能使其无法读取。请选择纠错等级 %2 或更高。</translation>
    </message>
    <message>
        <source>%1 make the symbol wider than many scanners take in at once. Choose at most %2 columns.</source>
        <translation>%1使符号宽于许多扫描器一次能读取的范围。请最多选择 %2 列。</translation>
    </message>
    <message>
        <source>Rows are only %1 high, less than three module widths (%2): print blur and a tilted scanner make them hard to read.</source>
        <translation>行高只有 %1，不足三个模块宽度 (%2)：打印模糊和扫描器倾斜会使其难以读取。</translation>
    </message>
    <message>
        <source>The margin is %1, less than two modules (%2): readers need clear space to find the symbol&apos;s edges. Widen the margin.</source>
        <translation>边距为 %1，不足两个模块 (%2)：读码器需要空白区域来找到符号边缘。请加宽边距。</translation>
    </message>
    <message>
        <source>The text goes beyond ASCII, but no ECI tells readers its character set, so each reader guesses. Choose Auto or a named character set.</source>
        <translation>文本超出 ASCII 范围，但没有 ECI 告知读码器其字符集，各读码器只能猜测。请选择“自动”或指定字符集。</translation>
    </message>
    <message>
        <source>The series has %1 symbols: scanning more than %2 is slow, and one is easily missed. Choose a lower level or more columns, so that fewer symbols hold the data.</source>
        <translation>该系列有 %1 个符号：扫描超过 %2 个既慢又容易漏掉。请选择更低的纠错等级或更多列，使更少的符号即可容纳数据。</translation>
    </message>
    <message>
        <source>%1 in plain ASCII letters for older readers (č as c).</source>
        <translation>为兼容旧读码器，%1为普通 ASCII 字母（č 写作 c）。</translation>
    </message>
    <message>
        <source>1 letter is written</source>
        <translation>1 个字母写</translation>
    </message>
    <message>
        <source>%1 letters are written</source>
        <translation>%1 个字母写</translation>
    </message>
    <message>
        <source>The data reads as UTF-8, but the scheme expects ISO-8859-1: save the document in ISO-8859-1 and load it as it is.</source>
        <translation>数据看起来是 UTF-8，但该规范要求 ISO-8859-1：请以 ISO-8859-1 保存文档并按原样载入。</translation>
    </message>
    <message>
        <source>Modules %1 wide are narrower than the %2 the scheme advises: choose a wider module.</source>
        <translation>模块宽 %1，窄于该规范建议的 %2：请选择更宽的模块。</translation>
    </message>
    <message>
        <source>Modules %1 wide are wider than the %2 the scheme advises: choose a narrower module.</source>
        <translation>模块宽 %1，宽于该规范建议的 %2：请选择更窄的模块。</translation>
    </message>
    <message>
        <source>Rows %1 module widths high are lower than the %2 the scheme advises.</source>
        <translation>行高为 %1 个模块宽度，低于该规范建议的 %2。</translation>
    </message>
    <message>
        <source>The symbol does not fit the page at this position: move it or choose a larger page.</source>
        <translation>符号在此位置放不进页面：请移动符号或选择更大的页面。</translation>
    </message>
    <message>
        <source>%1 is required.</source>
        <translation>%1 为必填项。</translation>
    </message>
    <message>
        <source>%1 is not a field of this profile.</source>
        <translation>%1 不是此应用规范的字段。</translation>
    </message>
    <message>
        <source>%1: “%2” (character %3) has no form in the data&apos;s character set. Choose UTF-8 as the character set, or leave it out.</source>
        <translation>%1：“%2”（第 %3 个字符）在数据的字符集中没有对应形式。请选择 UTF-8 作为字符集，或删去该字符。</translation>
    </message>
    <message>
        <source>%1 must be %2; character %3 breaks it.</source>
        <translation>%1 必须为 %2；第 %3 个字符不符合。</translation>
    </message>
    <message>
        <source>%1: the profile requires %2. Choose Auto to follow it.</source>
        <translation>%1：该应用规范要求 %2。请选择“自动”以遵循它。</translation>
    </message>
    <message>
        <source>%1: the profile requires %2. Widen the margin.</source>
        <translation>%1：该应用规范要求 %2。请加宽边距。</translation>
    </message>
    <message>
        <source>%1: the profile requires %2.</source>
        <translation>%1：该应用规范要求 %2。</translation>
    </message>
    <message>
        <source>The %1 profile takes no character set %2: choose Auto for the scheme&apos;s own.</source>
        <translation>应用规范“%1”不接受字符集 %2：请选择“自动”以使用该方案自己的字符集。</translation>
    </message>
</context>
<context>
    <name>barquill::app::PageDialog</name>
    <message>
        <source>Page</source>
        <translation>页面</translation>
    </message>
    <message>
        <source>The symbol&apos;s own size</source>
        <translation>符号本身的尺寸</translation>
    </message>
    <message>
        <source>A4</source>
        <translation>A4</translation>
    </message>
    <message>
        <source>Letter</source>
        <translation>Letter（信纸）</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>自定义</translation>
    </message>
    <message>
        <source>Paper</source>
        <translation>纸张</translation>
    </message>
    <message>
        <source>The page the PDF or EPS has: just the symbol, a standard paper size, or a size of your own</source>
        <translation>PDF 或 EPS 的页面：仅符号本身、标准纸张尺寸或自定义尺寸</translation>
    </message>
    <message>
        <source>Page width</source>
        <translation>页面宽度</translation>
    </message>
    <message>
        <source>The page&apos;s width</source>
        <translation>页面的宽度</translation>
    </message>
    <message>
        <source>Page height</source>
        <translation>页面高度</translation>
    </message>
    <message>
        <source>The page&apos;s height</source>
        <translation>页面的高度</translation>
    </message>
    <message>
        <source>From the left</source>
        <translation>距左边</translation>
    </message>
    <message>
        <source>Where the symbol&apos;s margin begins, measured from the page&apos;s left edge</source>
        <translation>符号边距的起点，从页面左边缘量起</translation>
    </message>
    <message>
        <source>From the top</source>
        <translation>距上边</translation>
    </message>
    <message>
        <source>Where the symbol&apos;s margin begins, measured from the page&apos;s top edge</source>
        <translation>符号边距的起点，从页面上边缘量起</translation>
    </message>
    <message>
        <source> mm</source>
        <translation> 毫米</translation>
    </message>
    <message>
        <source>&amp;Paper</source>
        <translation>纸张(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Width</source>
        <translation>宽度(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Height</source>
        <translation>高度(&amp;H)</translation>
    </message>
    <message>
        <source>From the &amp;left</source>
        <translation>距左边(&amp;L)</translation>
    </message>
    <message>
        <source>From the &amp;top</source>
        <translation>距上边(&amp;T)</translation>
    </message>
    <message>
        <source>The symbol is %1 with its margin.</source>
        <translation>符号连同边距为 %1。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>0 to %1</source>
        <translation>0 到 %1</translation>
    </message>
    <message>
        <source>more than 0 and at most %1</source>
        <translation>大于 0 且不超过 %1</translation>
    </message>
    <message>
        <source>The symbol passes the page&apos;s right edge by %1: move it left or choose a wider page.</source>
        <translation>符号超出页面右边缘 %1：请向左移动或选择更宽的页面。</translation>
    </message>
    <message>
        <source>The symbol passes the page&apos;s bottom edge by %1: move it up or choose a taller page.</source>
        <translation>符号超出页面下边缘 %1：请向上移动或选择更高的页面。</translation>
    </message>
</context>
<context>
    <name>barquill::app::ProfileForm</name>
    <message>
        <source>Fields marked * are required.</source>
        <translation>标有 * 的字段为必填项。</translation>
    </message>
    <message>
        <source>%1, required: %2</source>
        <translation>%1（必填）：%2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>%1 *</source>
        <translation>%1 *</translation>
    </message>
    <message>
        <source>%1: %2. One KEY=VALUE to a line.</source>
        <translation>%1：%2。每行一个 KEY=VALUE。</translation>
    </message>
    <message>
        <source>%1=value, one to a line</source>
        <translation>%1=值，每行一个</translation>
    </message>
</context>
<context>
    <name>barquill::app::SymbolView</name>
    <message>
        <source>Outdated: press Encode</source>
        <translation>已过期：请按“编码”</translation>
    </message>
</context>
</TS>
