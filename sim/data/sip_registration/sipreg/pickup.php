<!DOCTYPE html>
<html>
<head><meta charset="utf-8"><title>雲岫大學 網路電話帳號申請</title></head>
<body>
<h1>網路電話帳號申請</h1>
<form action="pickup.php" method="post">
  <p>學校帳號：<input type="text" name="username"></p>
  <p>密碼：<input type="password" name="oldpass"></p>
  <p><input type="submit" name="send"></p>
</form>
<p>請以學校帳號與密碼申請。</p>
</body>
</html>
