<!DOCTYPE html>
<html lang="zh-Hant">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>查無此路線 - 公車動態資訊</title>
<style>
body { font-family: sans-serif; margin: 0; background: #f4f6f8; color: #222; }
h1 { background: #b8262b; color: #fff; font-size: 20px; margin: 0; padding: 10px 12px; }
p.note { font-size: 13px; color: #666; margin: 6px 12px; }
table { width: 100%; border-collapse: collapse; background: #fff; }
td { padding: 8px 12px; border-bottom: 1px solid #e3e6ea; font-size: 16px; }
td.eta { text-align: right; white-space: nowrap; color: #b8262b; }
td.eta.far { color: #555; }
</style>
</head>
<body>
<h1>公車動態</h1>
<p class="note">查無此路線，請確認路線名稱。</p>
<p class="note">更新時間 {{now|HH:mm:ss}}　預估時間僅供參考</p>
</body>
</html>
