<!DOCTYPE html>
<html lang="zh-Hant">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>雲岫學報 照片申請</title>
<style>
body { margin: 0; font-family: "Noto Sans CJK TC", sans-serif; color: #333; background: #f6f3ee; }
header { background: #8c2f2a; color: #fff; padding: 14px 16px; font-size: 20px; }
form { padding: 12px 16px; }
label { display: block; margin-top: 10px; font-size: 14px; }
input, textarea { width: 100%; box-sizing: border-box; padding: 6px; font-size: 14px; }
button { margin-top: 14px; padding: 8px 24px; background: #8c2f2a; color: #fff; border: 0; border-radius: 4px; }
p { font-size: 13px; color: #666; padding: 0 16px; }
</style>
</head>
<body>
<header>雲岫學報 照片申請</header>
<p>雲岫學報刊登之照片，校內單位與師生可申請原始檔案供非營利用途使用。請填寫下表，編輯室將於三個工作天內回覆。</p>
<form method="get" action="/gallery/AskPic.aspx">
<label>申請人姓名<input name="name"></label>
<label>單位／系級<input name="unit"></label>
<label>電子郵件<input name="mail" type="email"></label>
<label>照片期別與標題<input name="photo" placeholder="例：第 286 期 校門的第一道晨光"></label>
<label>用途說明<textarea name="purpose" rows="4"></textarea></label>
<button type="submit">送出申請</button>
</form>
</body>
</html>
