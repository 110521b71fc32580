# Puts the embed code (data/embedcode.txt, the text the editor copies) into a help page in place
# of the marker <!--embed-code-->, for the example scroller news (200 by 40) saved as news.js.
# Usage: cmake -DTEMPLATE=embedcode.txt -DPAGE=page.htm -P embedcode.cmake
file(READ "${TEMPLATE}" code)
string(STRIP "${code}" code)
string(REPLACE "{script}" "news.js" code "${code}")
string(REPLACE "{name}" "news" code "${code}")
string(REPLACE "{style}" "width:200px;height:40px" code "${code}")
string(REPLACE "&" "&amp;" code "${code}")
string(REPLACE "<" "&lt;" code "${code}")
string(REPLACE ">" "&gt;" code "${code}")
string(REPLACE "\"" "&quot;" code "${code}")
file(READ "${PAGE}" page)
string(FIND "${page}" "<!--embed-code-->" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${PAGE} has no <!--embed-code--> marker")
endif()
string(REPLACE "<!--embed-code-->" "${code}" page "${page}")
file(WRITE "${PAGE}" "${page}")
