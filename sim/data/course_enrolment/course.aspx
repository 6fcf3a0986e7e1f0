<!DOCTYPE html>
<html lang="zh-Hant">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>雲岫大學 推廣教育 課程報名</title>
</head>
<body>
<div id="header">雲岫大學 推廣教育中心 ‧ 課程報名系統</div>
<div id="content">
<h1>課程資訊</h1>
<table>
<tr><th>報名期間</th><td>{{today-12d|yyyy/MM/dd}} 至 {{today+5d|yyyy/MM/dd}}</td></tr>
<tr><th>上課地點</th><td>雲岫大學 校本部</td></tr>
<tr><th>費用</th><td>依課程公告</td></tr>
</table>
<p><a href="#signup">我要報名</a></p>
</div>
<div id="footer">雲岫大學 推廣教育中心</div>
</body>
</html>
