<!DOCTYPE html>
<html lang="zh-Hant">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>雲岫大學 最新消息</title>
</head>
<body>
<div id="header">雲岫大學 秘書室 ‧ 最新消息</div>
<div id="content">
<h1>消息內容</h1>
<p class="date">發布日期：{{today-3d|yyyy/MM/dd}}</p>
<p>本則消息的完整內容、附件與相關連結，請見各承辦單位公告。</p>
<p>聯絡電話：(03) 555-0100 分機 2101</p>
</div>
<div id="footer">雲岫大學 版權所有</div>
</body>
</html>
